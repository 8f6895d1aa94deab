#pragma once
// Running-bond plank layout over the UV plane: rows of equal height, each row with its own plank
// length and start offset (a pure function of the row index and the seed), grout lines between
// planks and rows.
#include <cstdint>

namespace maxhost {

struct TileLayout {
  float rowHeight = 0.125f;  // UV units
  float minLength = 0.5f;    // plank length range, UV units
  float maxLength = 1.0f;
  float grout = 0.005f;  // width of the grout lines, UV units
  int seed = 1;
};

struct TileHit {
  bool grout =
      false;  // the point lies on a grout line; the other fields still name the nearest tile
  int row = 0;
  int column = 0;
  int id = 0;  // >= 1, exactly representable as a float
  // Position inside the tile's visible face (grout excluded), each in [0, 1].
  float localU = 0.0f;
  float localV = 0.0f;
  // Size of the visible face in UV units, for scaling derivatives into local units.
  float faceWidth = 0.0f;
  float faceHeight = 0.0f;
};

// Plank length and offset of a row (offset in [0, length)).
float RowPlankLength(const TileLayout& layout, int row);
float RowOffset(const TileLayout& layout, int row);

// Tile id for a row and column: 1 + 11 bits of row and 12 bits of column, so ids repeat only
// every 2048 rows or 4096 planks.
int TileId(int row, int column);

TileHit LocateTile(const TileLayout& layout, float u, float v);

}  // namespace maxhost
