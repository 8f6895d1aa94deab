// Custom controls of the host's dialogs: the kinds of edit field a spinner shows.
#pragma once

enum EditSpinnerType {
  EDITTYPE_INT,
  EDITTYPE_FLOAT,
  EDITTYPE_UNIVERSE,
  EDITTYPE_POS_INT,
  EDITTYPE_POS_FLOAT,
  EDITTYPE_POS_UNIVERSE,
  EDITTYPE_TIME
};
