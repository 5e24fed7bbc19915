#include "MouseEncoder.h"

namespace talvenor_hooks {

namespace {
constexpr std::uint32_t kMove = 512, kLeftDown = 513, kLeftUp = 514, kRightDown = 516,
                        kRightUp = 517, kMiddleDown = 519, kMiddleUp = 520, kWheel = 522,
                        kXDown = 523, kXUp = 524, kHWheel = 526;
}

std::uint32_t ButtonMessage(unsigned button, bool press) {
  switch (button) {
    case 1:
      return press ? kLeftDown : kLeftUp;
    case 2:
      return press ? kMiddleDown : kMiddleUp;
    case 3:
      return press ? kRightDown : kRightUp;
    case 4:
    case 5:
      return press ? kWheel : 0;
    case 6:
    case 7:
      return press ? kHWheel : 0;
    case 0:
      return 0;
    default:
      return press ? kXDown : kXUp;
  }
}

void MouseEncoder::FlushMove() {
  if (!movePending_) return;
  movePending_ = false;
  post_(context_, kMove);
}

void MouseEncoder::Motion(std::int32_t x, std::int32_t y, std::uint32_t window) {
  data_.Set(x, y, window);
  movePending_ = true;
  sawMove_ = true;
}

void MouseEncoder::Button(unsigned button, bool press, std::int32_t x, std::int32_t y,
                          std::uint32_t window) {
  const std::uint32_t msg = ButtonMessage(button, press);
  FlushMove();  // the moves before a button stay before it
  data_.Set(x, y, window);
  if (msg) post_(context_, msg);
}

bool MouseEncoder::EndBatch() {
  FlushMove();
  const bool moved = sawMove_;
  sawMove_ = false;
  return moved;
}

void GatherPolicy::Move(std::uint32_t time) {
  ++moves_;
  if (seen_ && time - last_ <= kDenseMs) dense_ = true;
  seen_ = true;
  last_ = time;
}

int GatherPolicy::AfterBatch(bool gathered) {
  if (!gathered) gathering_ = moves_ > 0 && moves_ <= 2 && dense_;
  if (moves_ == 0) gathering_ = false;
  moves_ = 0;
  dense_ = false;
  return gathering_ ? kGatherMs : 0;
}

}  // namespace talvenor_hooks
