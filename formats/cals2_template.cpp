#include "formats/cals2_template.h"

#include <cerrno>
#include <sstream>
#include <unistd.h>

#include "formats/ber.h"
#include "formats/fm_messages.h"
#include "platform/file_io.h"

namespace hv::formats {
namespace {

constexpr std::size_t kTemplateMax = 1u << 20;
constexpr std::size_t kDepthMax = 32;

bool parseKind(const std::string& word, Cals2NodeKind& kind) {
  static const struct {
    const char* word;
    Cals2NodeKind kind;
  } kKinds[] = {{"SEQ", Cals2NodeKind::kSequence},   {"INT", Cals2NodeKind::kInteger},
                {"OID", Cals2NodeKind::kOctets},     {"STR", Cals2NodeKind::kText},
                {"PAIR", Cals2NodeKind::kPair},      {"TILETYPES", Cals2NodeKind::kTileTypes},
                {"TILELIST", Cals2NodeKind::kTileList}, {"TILEDATA", Cals2NodeKind::kTileData}};
  for (const auto& k : kKinds)
    if (word == k.word) {
      kind = k.kind;
      return true;
    }
  return false;
}

bool parseTag(const std::string& word, int& cls, std::uint32_t& number) {
  if (word.size() < 2 || word.size() > 10) return false;
  const std::string classes = "UACP";
  std::size_t c = classes.find(word[0]);
  if (c == std::string::npos) return false;
  cls = static_cast<int>(c);
  std::uint64_t n = 0;
  for (std::size_t i = 1; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return false;
    n = n * 10 + static_cast<unsigned>(word[i] - '0');
  }
  if (n > 0x0FFFFFFF) return false;
  number = static_cast<std::uint32_t>(n);
  return true;
}

bool variable(const std::string& arg, const Cals2Layout& l, std::int64_t& v) {
  if (arg.empty()) return false;
  if (arg[0] != '$') {
    char* end = nullptr;
    errno = 0;
    long long n = std::strtoll(arg.c_str(), &end, 10);
    if (errno != 0 || *end != '\0') return false;
    v = n;
    return true;
  }
  if (arg == "$WIDTH") v = l.width;
  else if (arg == "$HEIGHT") v = l.height;
  else if (arg == "$TILEWIDTH" || arg == "$TILELENGTH") v = l.tileSide;
  else if (arg == "$RES") v = l.resolution;
  else if (arg == "$PELPATH") v = l.pelPathAngle;
  else if (arg == "$LINEPROG") v = l.lineProgressionAngle;
  else return false;
  return true;
}

bool coded(const Cals2TileRef& t) { return t.type == 2 || t.type == 5; }

// Contents of a node other than the tile data (whose contents are streamed).
struct Encoded {
  std::string head;      // everything before the tile data, or the whole element
  bool holdsData = false;
  std::string tail;      // after the tile data
  std::uint64_t length = 0;  // total element length
};

std::uint64_t tileDataBytes(const Cals2Layout& l) {
  std::uint64_t n = 0;
  for (const Cals2TileRef& t : l.tiles)
    if (coded(t)) n += ber::header(0, false, 4, t.bytes).size() + t.bytes;
  return n;
}

bool encode(const Cals2Node& node, const Cals2Layout& l, Encoded& out) {
  std::string contents;
  std::int64_t a = 0, b = 0;
  switch (node.kind) {
    case Cals2NodeKind::kInteger:
      if (node.args.size() != 1 || !variable(node.args[0], l, a)) return false;
      out.head = ber::element(node.cls, false, node.number, ber::integerContents(a));
      break;
    case Cals2NodeKind::kOctets:
      for (const std::string& arg : node.args) {
        if (!variable(arg, l, a) || a < 0 || a > 255) return false;
        contents += static_cast<char>(a);
      }
      out.head = ber::element(node.cls, false, node.number, contents);
      break;
    case Cals2NodeKind::kText: {
      std::string text;
      for (std::size_t i = 0; i < node.args.size(); ++i) text += (i ? " " : "") + node.args[i];
      out.head = ber::element(node.cls, false, node.number, text);
      break;
    }
    case Cals2NodeKind::kPair:
      if (node.args.size() != 2 || !variable(node.args[0], l, a) || !variable(node.args[1], l, b)) return false;
      out.head = ber::element(node.cls, true, node.number,
                              ber::element(0, false, 2, ber::integerContents(a)) +
                                  ber::element(0, false, 2, ber::integerContents(b)));
      break;
    case Cals2NodeKind::kTileTypes:
      for (const Cals2TileRef& t : l.tiles) contents += ber::element(0, false, 2, ber::integerContents(t.type));
      out.head = ber::element(node.cls, true, node.number, contents);
      break;
    case Cals2NodeKind::kTileList: {
      std::uint64_t offset = 0;
      for (const Cals2TileRef& t : l.tiles) {
        contents += ber::element(0, false, 2, ber::integerContents(coded(t) ? static_cast<std::int64_t>(offset) : 0));
        if (coded(t)) offset += ber::header(0, false, 4, t.bytes).size() + t.bytes;
      }
      out.head = ber::element(node.cls, true, node.number, contents);
      break;
    }
    case Cals2NodeKind::kTileData:
      out.head = ber::header(node.cls, true, node.number, tileDataBytes(l));
      out.holdsData = true;
      out.length = out.head.size() + tileDataBytes(l);
      return true;
    case Cals2NodeKind::kSequence: {
      std::string head, tail;
      bool holds = false;
      std::uint64_t total = 0;
      for (const Cals2Node& c : node.children) {
        Encoded e;
        if (!encode(c, l, e)) return false;
        total += e.length;
        if (e.holdsData && !holds) {
          holds = true;
          head += e.head;
          tail = e.tail;
        } else if (holds) {
          tail += e.head;
        } else {
          head += e.head;
        }
      }
      std::string h = ber::header(node.cls, true, node.number, total);
      out.head = h + head;
      out.tail = tail;
      out.holdsData = holds;
      out.length = h.size() + total;
      return true;
    }
  }
  out.length = out.head.size();
  return true;
}

}  // namespace

Status writeBytesAt(int fd, const void* data, std::size_t n, std::int64_t at) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    ssize_t k = ::pwrite(fd, p, n, at);
    if (k < 0 && errno == EINTR) continue;
    if (k <= 0) return Status::WriteFailed;
    p += k;
    n -= static_cast<std::size_t>(k);
    at += k;
  }
  return Status::Ok;
}

Status parseCals2Template(const std::string& text, std::vector<Cals2Node>& out, int* message, std::string* bad) {
  out.clear();
  auto fault = [&](int number, const std::string* line) {
    if (message) *message = number;
    if (bad && line) *bad = *line;
    return Status::CodingError;
  };
  // The path of open sequences: (indent, node).
  std::vector<std::pair<std::size_t, Cals2Node*>> open;
  std::istringstream in(text);
  std::string line;
  bool types = false, data = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::size_t indent = line.find_first_not_of(' ');
    if (indent == std::string::npos || line[indent] == '#') continue;
    std::istringstream words(line.substr(indent));
    std::string tag, kindWord;
    Cals2Node node;
    words >> tag >> kindWord;
    if (!parseTag(tag, node.cls, node.number) || !parseKind(kindWord, node.kind)) return fault(kMsgTagMissing, &line);
    for (std::string w; words >> w;) node.args.push_back(w);
    types = types || node.kind == Cals2NodeKind::kTileTypes;
    data = data || node.kind == Cals2NodeKind::kTileData;
    while (!open.empty() && open.back().first >= indent) open.pop_back();
    if (open.size() >= kDepthMax) return fault(kMsgTagMissing, &line);
    std::vector<Cals2Node>& siblings = open.empty() ? out : open.back().second->children;
    siblings.push_back(std::move(node));
    if (siblings.back().kind == Cals2NodeKind::kSequence) open.push_back({indent, &siblings.back()});
  }
  if (!types) return fault(kMsgCopyNoTileTypes, nullptr);
  if (!data) return fault(kMsgCopyNoRaster, nullptr);
  return Status::Ok;
}

Status loadCals2Template(const std::string& path, std::vector<Cals2Node>& out) {
  std::string text;
  if (platform::readWholeFile(path, text, kTemplateMax) != Status::Ok) {
    report(kWarning, kMsgNoTemplate, path.c_str());
    return Status::ReadFailed;
  }
  int message = 0;
  std::string bad;
  const Status parsed = parseCals2Template(text, out, &message, &bad);
  if (parsed != Status::Ok) report(kWarning, message, message == kMsgTagMissing ? bad.c_str() : nullptr);
  return parsed;
}

Status writeCals2Stream(const std::vector<Cals2Node>& tree, const Cals2Layout& layout, int tileFd, int outFd,
                        std::int64_t at) {
  for (const Cals2Node& node : tree) {
    Encoded e;
    if (!encode(node, layout, e)) {
      report(kWarning, kMsgTagMissing, node.args.empty() ? "?" : node.args[0].c_str());
      return Status::BadArgument;
    }
    if (Status s = writeBytesAt(outFd, e.head.data(), e.head.size(), at); s != Status::Ok) return s;
    at += static_cast<std::int64_t>(e.head.size());
    if (e.holdsData) {
      std::vector<char> buf(64 * 1024);
      for (const Cals2TileRef& t : layout.tiles) {
        if (!coded(t)) continue;
        std::string h = ber::header(0, false, 4, t.bytes);
        if (Status s = writeBytesAt(outFd, h.data(), h.size(), at); s != Status::Ok) return s;
        at += static_cast<std::int64_t>(h.size());
        for (std::uint64_t done = 0; done < t.bytes;) {
          std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(buf.size(), t.bytes - done));
          if (platform::readAt(tileFd, buf.data(), n, static_cast<std::int64_t>(t.at + done)) != static_cast<long>(n))
            return Status::ReadFailed;
          if (Status s = writeBytesAt(outFd, buf.data(), n, at); s != Status::Ok) return s;
          done += n;
          at += static_cast<std::int64_t>(n);
        }
      }
      if (Status s = writeBytesAt(outFd, e.tail.data(), e.tail.size(), at); s != Status::Ok) return s;
      at += static_cast<std::int64_t>(e.tail.size());
    }
  }
  return Status::Ok;
}

}  // namespace hv::formats
