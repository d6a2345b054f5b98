#include "docindex/docfiles_record.h"

#include <algorithm>
#include <cstring>

namespace hv::docindex {

bool isPlainComponent(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find_first_of("/\\") == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

DocFileRecord DocFileRecord::fromBytes(const char* p) {
  DocFileRecord r;
  std::memcpy(r.bytes_.data(), p, layout::kRecordSize);
  return r;
}

DocFileRecord DocFileRecord::make(std::string_view longName, std::string_view shortName, char access,
                                  const DocFileRecord* previous) {
  DocFileRecord r;
  (void)r.setLongName(longName);  // callers check the name; an unfit one leaves the field empty
  std::memcpy(r.bytes_.data() + layout::kShortName, shortName.data(),
              std::min(shortName.size(), layout::kShortNameSize - 1));
  r.bytes_[layout::kAccess] = access;
  if (previous != nullptr) {
    r.bytes_[layout::kPrevAccess] = previous->bytes_[layout::kAccess];
    r.bytes_[layout::kPrevPrevious] = previous->bytes_[layout::kPrevAccess];
  }
  return r;
}

std::string DocFileRecord::longName() const {
  const char* p = bytes_.data() + layout::kLongName;
  return std::string(p, ::strnlen(p, layout::kLongNameSize));
}

std::string DocFileRecord::shortName() const {
  const char* p = bytes_.data() + layout::kShortName;
  std::size_t n = ::strnlen(p, layout::kShortNameSize);
  return n == layout::kShortNameSize ? std::string() : std::string(p, n);
}

bool DocFileRecord::usable() const { return isPlainComponent(longName()) && isPlainComponent(shortName()); }

Status DocFileRecord::setLongName(std::string_view name) {
  if (name.size() > layout::kLongNameSize || !isPlainComponent(name)) return Status::BadArgument;
  std::fill_n(bytes_.data() + layout::kLongName, layout::kLongNameSize, '\0');
  std::memcpy(bytes_.data() + layout::kLongName, name.data(), name.size());
  return Status::Ok;
}

std::vector<DocFileRecord> parseRecords(std::string_view bytes) {
  std::vector<DocFileRecord> out;
  out.reserve(bytes.size() / layout::kRecordSize);
  for (std::size_t at = 0; at + layout::kRecordSize <= bytes.size(); at += layout::kRecordSize)
    out.push_back(DocFileRecord::fromBytes(bytes.data() + at));
  return out;
}

std::string serialiseRecords(const std::vector<DocFileRecord>& records) {
  std::string out;
  out.reserve(records.size() * layout::kRecordSize);
  for (const auto& r : records) out.append(r.bytes().data(), layout::kRecordSize);
  return out;
}

}  // namespace hv::docindex
