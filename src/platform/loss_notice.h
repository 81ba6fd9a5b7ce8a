// What a front-end tells the player of a helper that may go missing (the
// voice, the braille display), each change once: it was given up on (lost),
// or answers again after that (back). State is the helper's own enum, with
// a missing and a ready state.
#pragma once

namespace quillvane {

template <typename State>
class LossNotice {
 public:
  enum class Change { none, lost, back };
  // The change the helper's state now makes, if any.
  Change check(State state) {
    if (state == State::missing && !missing_) {
      missing_ = true;
      return Change::lost;
    }
    if (state == State::ready && missing_) {
      missing_ = false;
      return Change::back;
    }
    return Change::none;
  }
  // The loss has been told and the helper has not come back.
  bool missing() const { return missing_; }

 private:
  bool missing_ = false;
};

}  // namespace quillvane
