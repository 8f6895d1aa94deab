// Writes .res bytes for tests, record by record, as a resource compiler does.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace maxhost::testing {

class ResBuilder {
 public:
  ResBuilder() { Add(0, 0, 0, {}); }  // the empty leading record

  ResBuilder& Add(std::uint16_t type, std::uint16_t name, std::uint16_t language,
                  const std::vector<std::uint8_t>& data) {
    return AddRecord(Ordinal(type), Ordinal(name), language, data);
  }
  ResBuilder& AddNamedType(const std::u16string& type, std::uint16_t name, std::uint16_t language,
                           const std::vector<std::uint8_t>& data) {
    return AddRecord(String(type), Ordinal(name), language, data);
  }
  ResBuilder& AddNamed(std::uint16_t type, const std::u16string& name, std::uint16_t language,
                       const std::vector<std::uint8_t>& data) {
    return AddRecord(Ordinal(type), String(name), language, data);
  }
  const std::vector<std::uint8_t>& bytes() const { return bytes_; }

  // A string-table block: 16 counted UTF-16 strings.
  static std::vector<std::uint8_t> StringBlock(const std::vector<std::u16string>& strings) {
    std::vector<std::uint8_t> out;
    for (std::size_t i = 0; i < 16; ++i) {
      const std::u16string s = i < strings.size() ? strings[i] : u"";
      Put(out, static_cast<std::uint32_t>(s.size()), 2);
      for (char16_t c : s) Put(out, c, 2);
    }
    return out;
  }
  static void Put(std::vector<std::uint8_t>& out, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
  }

 private:
  static std::vector<std::uint8_t> Ordinal(std::uint16_t v) {
    std::vector<std::uint8_t> out;
    Put(out, 0xFFFF, 2);
    Put(out, v, 2);
    return out;
  }
  static std::vector<std::uint8_t> String(const std::u16string& s) {
    std::vector<std::uint8_t> out;
    for (char16_t c : s) Put(out, c, 2);
    Put(out, 0, 2);
    return out;
  }
  ResBuilder& AddRecord(const std::vector<std::uint8_t>& type,
                        const std::vector<std::uint8_t>& name, std::uint16_t language,
                        const std::vector<std::uint8_t>& data) {
    std::vector<std::uint8_t> ids = type;
    ids.insert(ids.end(), name.begin(), name.end());
    while (ids.size() % 4) ids.push_back(0);
    const std::uint32_t header_size = static_cast<std::uint32_t>(8 + ids.size() + 16);
    Put(bytes_, static_cast<std::uint32_t>(data.size()), 4);
    Put(bytes_, header_size, 4);
    bytes_.insert(bytes_.end(), ids.begin(), ids.end());
    Put(bytes_, 0, 4);       // DataVersion
    Put(bytes_, 0x1030, 2);  // MemoryFlags
    Put(bytes_, language, 2);
    Put(bytes_, 0, 4);  // Version
    Put(bytes_, 0, 4);  // Characteristics
    bytes_.insert(bytes_.end(), data.begin(), data.end());
    while (bytes_.size() % 4) bytes_.push_back(0);
    return *this;
  }

  std::vector<std::uint8_t> bytes_;
};

}  // namespace maxhost::testing
