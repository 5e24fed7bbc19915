#pragma once

#include <cstdint>
#include <mutex>

// Turns X pointer events into Windows mouse messages and keeps the data block
// the program reads: pointer x, pointer y, window under the pointer, hit-test
// code, extra info.
namespace talvenor_hooks {

// Written by the recorder's thread, copied out on any other.
class MouseData {
 public:
  void Set(std::int32_t x, std::int32_t y, std::uint32_t window) {
    std::lock_guard<std::mutex> lock(m_);
    v_[0] = x;
    v_[1] = y;
    v_[2] = static_cast<std::int32_t>(window);
    v_[3] = 0;  // hit-test code
    v_[4] = 0;  // extra info
  }
  void CopyTo(std::int32_t out[5]) const {
    std::lock_guard<std::mutex> lock(m_);
    for (int i = 0; i < 5; ++i) out[i] = v_[i];
  }

 private:
  mutable std::mutex m_;
  std::int32_t v_[5] = {};
};

// The message of a button going down or up; 0 for none. Wheel steps (buttons
// 4 to 7) come as one message on the press, further buttons as X button
// messages.
std::uint32_t ButtonMessage(unsigned button, bool press);

class MouseEncoder {
 public:
  using Post = void (*)(void* context, std::uint32_t msg);
  MouseEncoder(MouseData& data, Post post, void* context)
      : data_(data), post_(post), context_(context) {}

  // Motion events within one batch fold into one move message with the latest
  // position, posted at the end of the run of moves; buttons are never folded.
  void Motion(std::int32_t x, std::int32_t y, std::uint32_t window);
  void Button(unsigned button, bool press, std::int32_t x, std::int32_t y, std::uint32_t window);
  // Ends a batch; true when it held a move.
  bool EndBatch();

 private:
  void FlushMove();

  MouseData& data_;
  Post post_;
  void* context_;
  bool movePending_ = false;
  bool sawMove_ = false;
};

// When to let moves gather before the next read. While a dense stream of moves
// (a fast device: two moves at most kDenseMs apart) comes from a server that
// sends each move as it happens (a read after waiting finds one or two),
// further events gather kGatherMs before the next read, so the stream costs one
// wake-up and one message per interval. Separate moves never gather, so a sharp
// turn between them keeps its travel. A server that holds moves back and sends
// them in bursts is read as soon as a burst arrives: waiting would only add a
// wake-up.
class GatherPolicy {
 public:
  static constexpr int kGatherMs = 16;
  static constexpr std::uint32_t kDenseMs = 2;

  // A move with its server time.
  void Move(std::uint32_t time);
  // After a batch (gathered: events were waiting when a gathering wait
  // ended): the milliseconds to wait before the next read.
  int AfterBatch(bool gathered);

 private:
  int moves_ = 0;
  bool dense_ = false;
  bool seen_ = false;
  std::uint32_t last_ = 0;
  bool gathering_ = false;
};

}  // namespace talvenor_hooks
