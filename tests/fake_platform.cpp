#include "fake_platform.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include "platform/headless/headless_platform.h"
#include "quillvane/version.h"

namespace quillvane::testing {

std::optional<Event> FakePlatform::next_event(double deadline) {
  if (deadline == -std::numeric_limits<double>::infinity()) {
    // The hook runs once per yield, at its first call.
    if (!yielding_ && on_yield) on_yield(*this);
    yielding_ = true;
    if (pending.empty()) {
      calls.push_back("yield");
      yielding_ = false;
      return std::nullopt;
    }
    const Event event = pending.front();
    pending.pop_front();
    return event;
  }
  calls.push_back("wait-until");
  if (!pending.empty()) {
    const Event event = pending.front();
    pending.pop_front();
    return event;
  }
  if (at_wait && at_wait(*this)) return std::nullopt;
  // A quit or a hurry comes in its turn: after the keys handed in before it.
  auto earliest_key =
      std::min_element(timed_keys.begin(), timed_keys.end(),
                       [](const TimedKey& a, const TimedKey& b) { return a.at < b.at; });
  const double next_key_at = earliest_key == timed_keys.end() ? deadline : earliest_key->at;
  if (timed_close && *timed_close <= deadline && *timed_close <= next_key_at) {
    clock = std::max(clock, *timed_close);
    timed_close.reset();
    return Event{Event::Kind::close};
  }
  if (timed_hurry && *timed_hurry <= deadline && *timed_hurry <= next_key_at) {
    clock = std::max(clock, *timed_hurry);
    timed_hurry.reset();
    return Event{Event::Kind::hurry};
  }
  const auto key = std::find_if(timed_keys.begin(), timed_keys.end(),
                                [&](const TimedKey& k) { return k.at <= deadline; });
  const auto other = std::find_if(timed_events.begin(), timed_events.end(),
                                  [&](const TimedEvent& e) { return e.at <= deadline; });
  if (key != timed_keys.end() && (other == timed_events.end() || key->at <= other->at)) {
    const TimedKey taken = *key;
    timed_keys.erase(key);
    clock = std::max(clock, taken.at);
    return Event{Event::Kind::key, taken.keycode, taken.shift};
  }
  if (other != timed_events.end()) {
    const TimedEvent taken = *other;
    timed_events.erase(other);
    clock = std::max(clock, taken.at);
    return taken.event;
  }
  clock = std::max(clock, deadline);
  return std::nullopt;
}

namespace {

// A file as the fake hands it to the game: its bytes from memory or from
// disk, counted, failing where the test asks.
class CountedFile : public InputFile {
 public:
  CountedFile(std::unique_ptr<InputFile> disk, const std::string* memory, std::size_t& count,
              std::optional<std::size_t> fails_after)
      : disk_(std::move(disk)), memory_(memory), count_(count), fails_after_(fails_after) {}
  std::optional<std::size_t> read(char* buffer, std::size_t size) override {
    if (fails_after_) {
      if (read_ >= *fails_after_) return std::nullopt;
      size = std::min(size, *fails_after_ - read_);
    }
    std::optional<std::size_t> got;
    if (disk_) {
      got = disk_->read(buffer, size);
    } else {
      got = std::min(size, memory_->size() - offset_);
      std::copy_n(memory_->data() + offset_, *got, buffer);
      offset_ += *got;
    }
    if (got) {
      read_ += *got;
      count_ += *got;
    }
    return got;
  }

 private:
  std::unique_ptr<InputFile> disk_;
  const std::string* memory_;
  std::size_t offset_ = 0;
  std::size_t read_ = 0;
  std::size_t& count_;
  std::optional<std::size_t> fails_after_;
};

}  // namespace

std::unique_ptr<InputFile> FakePlatform::open_file(const std::string& path) {
  if (unreadable.count(path) == 1) return nullptr;
  std::unique_ptr<InputFile> disk;
  const std::string* bytes = nullptr;
  if (memory_files) {
    auto it = memory.find(path);
    if (it == memory.end()) return nullptr;
    bytes = &it->second;
  } else {
    disk = Platform::open_file(path);
    if (!disk) return nullptr;
  }
  std::optional<std::size_t> fails_after;
  if (auto it = read_fails_after.find(path); it != read_fails_after.end()) fails_after = it->second;
  return std::make_unique<CountedFile>(std::move(disk), bytes, bytes_read[path], fails_after);
}

void FakePlatform::send_key(int keycode, bool key_up) {
  calls.push_back("key:" + std::to_string(keycode) + (key_up ? ":up" : ":down"));
  if (!key_up) sent_keys_down.push_back(keycode);
}

std::string make_temp_folder() {
  static std::atomic<int> counter{0};
  std::random_device device;
  auto base = std::filesystem::temp_directory_path() /
              ("quillvane-test-" + std::to_string(device()) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(base);
  return base.string();
}

std::string read_bytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

std::string with_version(std::string text) {
  const std::string placeholder = "@VERSION@";
  const std::string version = kQuillvaneVersion;
  for (std::size_t at = text.find(placeholder); at != std::string::npos;
       at = text.find(placeholder, at + version.size()))
    text.replace(at, placeholder.size(), version);
  return text;
}

void write_bytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

}  // namespace quillvane::testing

#include "game_fixture.h"

namespace quillvane::testing {

std::vector<std::string> crlf_lines(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(bytes.substr(start));
      break;
    }
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace quillvane::testing
