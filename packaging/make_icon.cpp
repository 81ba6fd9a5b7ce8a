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

// A zlib stream of stored (uncompressed) blocks: small enough for one icon
// and needs no compression library.
std::string zlib_stored(const std::string& raw) {
  std::string out = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (unsigned char byte : raw) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  std::size_t pos = 0;
  do {
    std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    bool last = pos + n == raw.size();
    out += static_cast<char>(last ? 1 : 0);
    out += static_cast<char>(n & 0xFF);
    out += static_cast<char>(n >> 8);
    out += static_cast<char>(~n & 0xFF);
    out += static_cast<char>((~n >> 8) & 0xFF);
    out.append(raw, pos, n);
    pos += n;
  } while (pos < raw.size());
  put32(out, (b << 16) | a);
  return out;
}

std::string png_bytes(int size) {
  std::string raw;
  for (int y = 0; y < size; ++y) {
    raw += '\0';  // filter: none
    for (int x = 0; x < size; ++x) {
      Colour c = pixel(x, y, size);
      for (double channel : {c.r, c.g, c.b, c.a})
        raw += static_cast<char>(std::lround(std::fmin(1.0, std::fmax(0.0, channel)) * 255));
    }
  }
  std::string header;
  put32(header, static_cast<std::uint32_t>(size));
  put32(header, static_cast<std::uint32_t>(size));
  header += std::string("\x08\x06\x00\x00\x00", 5);  // 8 bits, RGBA, no interlace
  std::string png = "\x89PNG\r\n\x1a\n";
  chunk(png, "IHDR", header);
  chunk(png, "IDAT", zlib_stored(raw));
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
