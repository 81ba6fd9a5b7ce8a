// make_icon: draws the game's 128 x 128 menu icon and writes it as a PNG
// (8-bit RGBA). A cream quill on a deep blue tile, with three amber sound
// waves rising from its nib: a game written in sound. Each pixel is the
// average of 8 x 8 samples, so the edges are smooth. The same drawing can
// be made at another size (the web edition's app icons).
//
//   make_icon OUTPUT.png [SIZE]
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 128;
constexpr int kSamples = 8;  // per pixel and axis
constexpr double kPi = 3.14159265358979323846;

struct Colour {
  double r, g, b, a;
};

Colour over(Colour top, Colour below) {
  double a = top.a + below.a * (1 - top.a);
  if (a <= 0) return {0, 0, 0, 0};
  auto mix = [&](double t, double b) { return (t * top.a + b * below.a * (1 - top.a)) / a; };
  return {mix(top.r, below.r), mix(top.g, below.g), mix(top.b, below.b), a};
}

// The tile: a rounded square with a gentle top-to-bottom gradient.
bool in_tile(double x, double y) {
  constexpr double lo = 4, hi = 124, radius = 22;
  double cx = std::fmax(lo + radius, std::fmin(x, hi - radius));
  double cy = std::fmax(lo + radius, std::fmin(y, hi - radius));
  return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= radius * radius;
}

// The quill runs from its nib at the lower left up to the top right.
constexpr double kNibX = 28, kNibY = 100;
constexpr double kVaneStartX = 44, kVaneStartY = 84, kVaneEndX = 106, kVaneEndY = 22;

// Position along the quill (u, 0 at the vane's start, 1 at its tip) and
// signed distance across it (v, in pixels).
void quill_coordinates(double x, double y, double& u, double& v) {
  double dx = kVaneEndX - kVaneStartX, dy = kVaneEndY - kVaneStartY;
  double length = std::sqrt(dx * dx + dy * dy);
  double px = x - kVaneStartX, py = y - kVaneStartY;
  u = (px * dx + py * dy) / (length * length);
  v = (px * -dy + py * dx) / length;
}

bool in_vane(double x, double y) {
  double u, v;
  quill_coordinates(x, y, u, v);
  if (u <= 0 || u >= 1) return false;
  // Wider on one side of the shaft, like a real flight feather.
  double half = 15 * std::pow(std::sin(kPi * u), 0.7) * (v > 0 ? 1.0 : 0.7);
  return std::fabs(v) <= half;
}

bool in_shaft(double x, double y) {
  double u, v;
  quill_coordinates(x, y, u, v);
  double nib_u, nib_v;
  quill_coordinates(kNibX, kNibY, nib_u, nib_v);
  if (u < nib_u || u > 0.97) return false;
  // The bare barrel below the vane tapers to a point at the nib.
  double width = u < 0 ? 1.6 * (u - nib_u) / -nib_u : 1.3;
  return std::fabs(v) <= width;
}

// Three arcs to the right of the nib, thickening outwards.
bool in_wave(double x, double y) {
  double dx = x - kNibX, dy = kNibY - y;
  double angle = std::atan2(dy, dx) * 180 / kPi;
  if (angle < -20 || angle > 26) return false;
  double r = std::sqrt(dx * dx + dy * dy);
  const std::array<std::array<double, 2>, 3> rings{{{26, 3.0}, {41, 4.0}, {57, 5.0}}};
  for (const auto& ring : rings)
    if (std::fabs(r - ring[0]) <= ring[1] / 2) return true;
  return false;
}

// Pixel (px, py) of an icon of size pixels, drawn on the 128-unit tile.
Colour pixel(int px, int py, int size) {
  const double unit = static_cast<double>(kSize) / size;
  const Colour vane{0.95, 0.91, 0.82, 1}, shaft{0.45, 0.38, 0.30, 1}, wave{0.96, 0.64, 0.38, 1};
  Colour sum{0, 0, 0, 0};
  for (int sy = 0; sy < kSamples; ++sy) {
    for (int sx = 0; sx < kSamples; ++sx) {
      double x = (px + (sx + 0.5) / kSamples) * unit, y = (py + (sy + 0.5) / kSamples) * unit;
      Colour c{0, 0, 0, 0};
      if (in_tile(x, y)) {
        double t = y / kSize;
        c = {0.11 + 0.06 * t, 0.21 + 0.08 * t, 0.34 + 0.12 * t, 1};
        if (in_wave(x, y)) c = over(wave, c);
        if (in_vane(x, y)) c = over(vane, c);
        if (in_shaft(x, y)) c = over(shaft, c);
      }
      // Premultiplied sums, so transparent samples add no colour.
      sum.r += c.r * c.a;
      sum.g += c.g * c.a;
      sum.b += c.b * c.a;
      sum.a += c.a;
    }
  }
  if (sum.a <= 0) return {0, 0, 0, 0};
  return {sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, sum.a / (kSamples * kSamples)};
}

std::uint32_t crc32(const std::string& bytes) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (unsigned char byte : bytes) {
    crc ^= byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

void put32(std::string& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

void chunk(std::string& png, const std::string& type, const std::string& data) {
  put32(png, static_cast<std::uint32_t>(data.size()));
  png += type + data;
  put32(png, crc32(type + data));
}

// Writes a deflate stream bit by bit, least significant bit first.
class BitWriter {
 public:
  // Extra bits and block headers: value's low count bits, lowest first.
  void bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) put((value >> i) & 1u);
  }
  // A Huffman code: its bits from the most significant down.
  void code(std::uint32_t value, int length) {
    for (int i = length - 1; i >= 0; --i) put((value >> i) & 1u);
  }
  std::string finish() {
    if (used_) out_ += static_cast<char>(byte_);
    return out_;
  }

 private:
  void put(std::uint32_t bit) {
    byte_ |= bit << used_;
    if (++used_ == 8) {
      out_ += static_cast<char>(byte_);
      byte_ = 0;
      used_ = 0;
    }
  }
  std::string out_;
  std::uint32_t byte_ = 0;
  int used_ = 0;
};

// A literal or length symbol in deflate's fixed Huffman code.
void fixed_symbol(BitWriter& out, int symbol) {
  if (symbol < 144)
    out.code(0x30 + symbol, 8);
  else if (symbol < 256)
    out.code(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    out.code(symbol - 256, 7);
  else
    out.code(0xC0 + symbol - 280, 8);
}

// A back reference of length 3 to 258 at distance 1 to 32768.
void fixed_match(BitWriter& out, int length, int distance) {
  static constexpr std::array<int, 29> kLengthBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                   15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                   67, 83, 99, 115, 131, 163, 195, 227, 258};
  static constexpr std::array<int, 29> kLengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                    2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
  static constexpr std::array<int, 30> kDistanceBase{
      1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
      193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
  static constexpr std::array<int, 30> kDistanceExtra{0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                      4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                      9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
  int l = 28;
  while (kLengthBase[l] > length) --l;
  fixed_symbol(out, 257 + l);
  out.bits(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  out.code(static_cast<std::uint32_t>(d), 5);
  out.bits(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream in one block of deflate's fixed Huffman code, with matches
// found through hash chains: an icon's flat colours and filtered rows are
// mostly repeats, so this needs no compression library to be small.
std::string zlib_compressed(const std::string& raw) {
  constexpr int kWindow = 32768, kMinMatch = 3, kMaxMatch = 258, kChain = 64;
  constexpr std::uint32_t kHashSize = 1u << 15;
  std::vector<int> head(kHashSize, -1), previous(raw.size(), -1);
  const auto byte = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(raw[i]));
  };
  const auto hash = [&](std::size_t i) {
    return ((byte(i) << 10) ^ (byte(i + 1) << 5) ^ byte(i + 2)) & (kHashSize - 1);
  };
  const auto remember = [&](std::size_t i) {
    if (i + kMinMatch > raw.size()) return;
    const std::uint32_t h = hash(i);
    previous[i] = head[h];
    head[h] = static_cast<int>(i);
  };
  BitWriter out;
  out.bits(1, 1);  // the last block
  out.bits(1, 2);  // fixed Huffman codes
  std::size_t pos = 0;
  while (pos < raw.size()) {
    int best = 0, distance = 0;
    if (pos + kMinMatch <= raw.size()) {
      const int longest = static_cast<int>(std::min<std::size_t>(kMaxMatch, raw.size() - pos));
      int candidate = head[hash(pos)];
      for (int tries = 0; candidate >= 0 && tries < kChain; ++tries) {
        const std::size_t from = static_cast<std::size_t>(candidate);
        if (pos - from > kWindow) break;
        int length = 0;
        while (length < longest && raw[from + length] == raw[pos + length]) ++length;
        if (length > best) {
          best = length;
          distance = static_cast<int>(pos - from);
          if (length == longest) break;
        }
        candidate = previous[from];
      }
    }
    if (best >= kMinMatch) {
      fixed_match(out, best, distance);
      for (int i = 0; i < best; ++i) remember(pos + i);
      pos += best;
    } else {
      fixed_symbol(out, static_cast<int>(byte(pos)));
      remember(pos);
      ++pos;
    }
  }
  fixed_symbol(out, 256);  // the end of the block

  std::string stream = "\x78\x01";
  stream += out.finish();
  std::uint32_t a = 1, b = 0;
  for (unsigned char c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  put32(stream, (b << 16) | a);
  return stream;
}

std::string png_bytes(int size) {
  std::string raw;
  for (int y = 0; y < size; ++y) {
    // Each row filtered by "Sub" (every byte less the one a pixel to its
    // left): the tile's rows of one colour become runs of zeros.
    raw += '\1';
    std::array<int, 4> left{0, 0, 0, 0};
    for (int x = 0; x < size; ++x) {
      Colour c = pixel(x, y, size);
      const std::array<double, 4> channels{c.r, c.g, c.b, c.a};
      for (int k = 0; k < 4; ++k) {
        const int value =
            static_cast<int>(std::lround(std::fmin(1.0, std::fmax(0.0, channels[k])) * 255));
        raw += static_cast<char>((value - left[k]) & 0xFF);
        left[k] = value;
      }
    }
  }
  std::string header;
  put32(header, static_cast<std::uint32_t>(size));
  put32(header, static_cast<std::uint32_t>(size));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", zlib_compressed(raw));
  chunk(png, "IEND", "");
  return png;
}

}  // namespace

int main(int argc, char** argv) {
  const int size = argc == 3 ? std::atoi(argv[2]) : kSize;
  if (argc < 2 || argc > 3 || size < 16 || size > 1024) {
    std::cerr << "usage: make_icon OUTPUT.png [SIZE, 16 to 1024]\n";
    return 2;
  }
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  const std::string bytes = png_bytes(size);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  file.close();
  if (!file) {
    std::cerr << "make_icon: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
