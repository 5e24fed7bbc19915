#include "KeyEncoder.h"

#include "platform/keyboard/WinKeys.h"

namespace talvenor_hooks {

using namespace platform::keys;

KeyEncoder::KeyEncoder() {
  std::uint32_t none[256] = {};
  SetLayout(none);
}

void KeyEncoder::SetLayout(const std::uint32_t keysyms[256]) {
  altCount_ = 0;
  for (unsigned k = 0; k < 256; ++k) {
    const KeyPosition pos = PositionOfKeycode(k);
    std::uint8_t vk = pos.vk ? pos.vk : static_cast<std::uint8_t>(VK_UNKNOWN);
    const std::uint32_t sym = keysyms[k];
    if (sym >= 'a' && sym <= 'z') vk = static_cast<std::uint8_t>(sym - 'a' + 'A');
    if (sym >= 'A' && sym <= 'Z') vk = static_cast<std::uint8_t>(sym);
    vk_[k] = vk;
    if (pos.vk == VK_MENU && altCount_ < 4) altKeys_[altCount_++] = k;
  }
}

void KeyEncoder::SetKeysDown(const char keys[32]) {
  down_.reset();
  for (unsigned k = 0; k < 256; ++k)
    if (keys[k / 8] & (1 << (k % 8))) down_.set(k);
}

std::uint32_t KeyEncoder::VirtualKey(unsigned keycode, unsigned state) const {
  keycode &= 0xFF;
  const KeyPosition pos = PositionOfKeycode(keycode);
  if (pos.vkNumLockOff && !(state & numLockMask_)) return pos.vkNumLockOff;
  return vk_[keycode];
}

KeyEncoder::Keystroke KeyEncoder::Encode(bool press, unsigned keycode, unsigned state) {
  keycode &= 0xFF;
  const KeyPosition pos = PositionOfKeycode(keycode);
  const bool wasDown = down_.test(keycode);
  down_.set(keycode, press);
  bool altDown = false;
  for (int i = 0; i < altCount_ && !altDown; ++i) altDown = down_.test(altKeys_[i]);

  std::uint32_t data = 1u | (std::uint32_t{pos.scan} << kScanShift);
  if (pos.extended) data |= kExtendedBit;
  if (altDown) data |= kContextBit;
  if (!press || wasDown) data |= kPreviousBit;  // a key going up was always down
  if (!press) data |= kTransitionBit;
  return Keystroke{VirtualKey(keycode, state), data};
}

}  // namespace talvenor_hooks
