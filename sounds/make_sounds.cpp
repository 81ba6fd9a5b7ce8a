// make_sounds: writes the game's twelve sound cues as WAV files (16-bit PCM,
// mono, 22050 Hz) into the folder given on the command line. Every cue is
// synthesised from a few bell-like notes, so the output is the same bytes on
// every run and the files in the repository can be checked against it.
//
//   make_sounds OUTPUT_FOLDER     write the cues
//   make_sounds --check FOLDER    compare the cues in FOLDER with fresh ones
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// One note of a cue: when it starts, how long it rings, its pitch (with an
// optional glide to a second pitch), how loud, and its colour.
struct Note {
  double start;      // seconds from the cue's start
  double length;     // seconds
  double frequency;  // Hz at the start
  double glide_to;   // Hz at the end; 0 keeps the pitch
  double loudness;   // 0..1
  double decay;      // how fast the bell dies away (per second)
  double overtone;   // share of the second and third harmonics
  double vibrato;    // depth of a 7 Hz wobble, as a share of the pitch
};

struct Cue {
  const char* name;
  double length;
  std::vector<Note> notes;
};

double note_frequency(int midi) { return 440.0 * std::pow(2.0, (midi - 69) / 12.0); }

std::vector<Cue> cues() {
  auto n = [](double start, double length, int midi, double loudness, double decay,
              double overtone) {
    return Note{start, length, note_frequency(midi), 0, loudness, decay, overtone, 0};
  };
  // MIDI note numbers: 60 is middle C.
  return {
      // Speech modes: two-note chimes, each pair its own interval and colour.
      {"SAPI.wav", 0.30, {n(0.00, 0.16, 72, 0.55, 9, 0.15), n(0.12, 0.18, 76, 0.55, 8, 0.15)}},
      {"NVDA.wav", 0.30, {n(0.00, 0.16, 76, 0.55, 9, 0.30), n(0.12, 0.18, 79, 0.55, 8, 0.30)}},
      {"WE.wav",
       0.32,
       {n(0.00, 0.08, 81, 0.45, 18, 0.10), n(0.10, 0.08, 81, 0.45, 18, 0.10),
        n(0.20, 0.12, 84, 0.45, 14, 0.10)}},
      {"JAWS.wav", 0.32, {n(0.00, 0.16, 67, 0.60, 8, 0.35), n(0.13, 0.19, 74, 0.60, 7, 0.35)}},
      // A recipe list opened: one small bell.
      {"dink.wav", 0.18, {n(0.00, 0.18, 93, 0.45, 20, 0.20)}},
      // A recipe worked: a bright major arpeggio.
      {"success.wav",
       0.42,
       {n(0.00, 0.20, 72, 0.45, 7, 0.20), n(0.09, 0.20, 76, 0.45, 7, 0.20),
        n(0.18, 0.24, 79, 0.50, 6, 0.20)}},
      // A new achievement: the arpeggio climbs to the octave and sparkles.
      {"achievement.wav",
       0.56,
       {n(0.00, 0.16, 72, 0.40, 8, 0.25), n(0.08, 0.16, 76, 0.40, 8, 0.25),
        n(0.16, 0.16, 79, 0.40, 8, 0.25), n(0.24, 0.32, 84, 0.50, 5, 0.25),
        n(0.30, 0.26, 91, 0.20, 9, 0.05)}},
      // A new record: a short fanfare.
      {"record.wav",
       0.52,
       {n(0.00, 0.10, 79, 0.45, 10, 0.45), n(0.12, 0.10, 79, 0.45, 10, 0.45),
        n(0.24, 0.28, 84, 0.55, 5, 0.45)}},
      // A recipe discovered: a bell that rises as it rings.
      {"rule.wav",
       0.46,
       {Note{0.00, 0.46, note_frequency(74), note_frequency(81), 0.50, 5, 0.20, 0},
        n(0.18, 0.28, 86, 0.25, 7, 0.10)}},
      // Nothing made: two soft falling tones.
      {"fail.wav", 0.40, {n(0.00, 0.18, 64, 0.55, 6, 0.50), n(0.16, 0.24, 60, 0.55, 5, 0.50)}},
      // Magic copied an item: a shimmering upward glide.
      {"magic.wav",
       0.52,
       {Note{0.00, 0.52, note_frequency(79), note_frequency(91), 0.40, 4, 0.10, 0.02},
        Note{0.05, 0.47, note_frequency(86), note_frequency(98), 0.20, 5, 0.05, 0.03}}},
      // A new puzzle: falling then rising, like shuffling a deck.
      {"restart.wav",
       0.50,
       {n(0.00, 0.10, 84, 0.40, 12, 0.20), n(0.08, 0.10, 79, 0.40, 12, 0.20),
        n(0.16, 0.10, 76, 0.40, 12, 0.20), n(0.24, 0.26, 84, 0.50, 6, 0.20)}},
  };
}

std::vector<std::int16_t> render(const Cue& cue) {
  const int frames = static_cast<int>(cue.length * kRate);
  std::vector<double> mix(frames, 0.0);
  for (const Note& note : cue.notes) {
    const int first = static_cast<int>(note.start * kRate);
    const int count = std::min(static_cast<int>(note.length * kRate), frames - first);
    double phase = 0;
    for (int i = 0; i < count; ++i) {
      const double t = static_cast<double>(i) / kRate;
      const double progress = static_cast<double>(i) / count;
      double frequency = note.frequency;
      if (note.glide_to > 0) frequency *= std::pow(note.glide_to / note.frequency, progress);
      frequency *= 1.0 + note.vibrato * std::sin(2 * kPi * 7 * t);
      phase += 2 * kPi * frequency / kRate;
      // A 4 ms attack avoids a click; the decay makes it a bell; the last
      // 15 ms fade to silence so nothing is cut off hard.
      const double attack = std::min(1.0, t / 0.004);
      const double release = std::min(1.0, (count - i) / (0.015 * kRate));
      const double envelope = attack * release * std::exp(-note.decay * t);
      const double wave = (1 - note.overtone) * std::sin(phase) +
                          note.overtone * (0.6 * std::sin(2 * phase) + 0.4 * std::sin(3 * phase));
      mix[first + i] += note.loudness * envelope * wave;
    }
  }
  std::vector<std::int16_t> samples(frames);
  for (int i = 0; i < frames; ++i) {
    const double clipped = std::clamp(mix[i], -1.0, 1.0);
    samples[i] = static_cast<std::int16_t>(std::lround(clipped * 30000));
  }
  return samples;
}

void put16(std::string& out, std::uint16_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8));
}

void put32(std::string& out, std::uint32_t value) {
  put16(out, static_cast<std::uint16_t>(value & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(value >> 16));
}

std::string wav_bytes(const std::vector<std::int16_t>& samples) {
  const std::uint32_t data_size = static_cast<std::uint32_t>(samples.size() * 2);
  std::string out = "RIFF";
  put32(out, 36 + data_size);
  out += "WAVEfmt ";
  put32(out, 16);         // format chunk size
  put16(out, 1);          // PCM
  put16(out, 1);          // mono
  put32(out, kRate);      // frames per second
  put32(out, kRate * 2);  // bytes per second
  put16(out, 2);          // bytes per frame
  put16(out, 16);         // bits per sample
  out += "data";
  put32(out, data_size);
  for (std::int16_t sample : samples) put16(out, static_cast<std::uint16_t>(sample));
  return out;
}

// Compares a stored cue with a fresh rendering. The header must match byte
// for byte; samples may differ by a couple of steps, since another maths
// library may round a sine differently.
bool matches(const std::string& stored, const std::string& fresh) {
  constexpr std::size_t kHeader = 44;
  if (stored.size() != fresh.size() || stored.compare(0, kHeader, fresh, 0, kHeader) != 0)
    return false;
  for (std::size_t i = kHeader; i + 1 < stored.size(); i += 2) {
    auto sample = [](const std::string& bytes, std::size_t at) {
      return static_cast<std::int16_t>(static_cast<std::uint8_t>(bytes[at]) |
                                       (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
    };
    if (std::abs(sample(stored, i) - sample(fresh, i)) > 2) return false;
  }
  return true;
}

int check(const std::string& folder) {
  int bad = 0;
  for (const Cue& cue : cues()) {
    const std::string path = folder + "/" + cue.name;
    std::ifstream file(path, std::ios::binary);
    std::string stored((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (!file.good() && !file.eof()) stored.clear();
    if (!matches(stored, wav_bytes(render(cue)))) {
      std::cerr << "make_sounds: " << path << " differs from what this program makes\n";
      ++bad;
    }
  }
  return bad == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--check") return check(argv[2]);
  if (argc != 2) {
    std::cerr << "usage: make_sounds OUTPUT_FOLDER | --check FOLDER\n";
    return 2;
  }
  const std::string folder = argv[1];
  for (const Cue& cue : cues()) {
    const std::string path = folder + "/" + cue.name;
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = wav_bytes(render(cue));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!file) {
      std::cerr << "make_sounds: cannot write " << path << '\n';
      return 1;
    }
  }
  return 0;
}
