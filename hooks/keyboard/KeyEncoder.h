#pragma once

#include <bitset>
#include <cstdint>

// Turns X key events into Windows keystroke terms: the virtual-key code and the
// 32-bit key data (repeat count 1, scan code, extended key, Alt context,
// previous state, transition). Keeps which keys are down, so an auto-repeat,
// a press with no release before it, carries the previous-state bit.
namespace talvenor_hooks {

class KeyEncoder {
 public:
  KeyEncoder();

  // keysyms[k]: the keysym of key code k at group 1, level 1 (0 for none);
  // letters take their virtual-key code from the layout, everything else from
  // the key's position.
  void SetLayout(const std::uint32_t keysyms[256]);
  // X modifier mask of Num Lock, for the keypad's two meanings.
  void SetNumLockMask(unsigned mask) { numLockMask_ = mask; }
  // The keys that are down at the start (32 bytes, as XQueryKeymap gives them).
  void SetKeysDown(const char keys[32]);

  struct Keystroke {
    std::uint32_t vk;
    std::uint32_t data;
  };
  // One event: press or release of key code keycode with the modifier state
  // the event carries.
  Keystroke Encode(bool press, unsigned keycode, unsigned state);

  std::uint32_t VirtualKey(unsigned keycode, unsigned state) const;

 private:
  std::bitset<256> down_;
  std::uint8_t vk_[256];
  unsigned altKeys_[4] = {};  // key codes of the Alt keys
  int altCount_ = 0;
  unsigned numLockMask_ = 0x10;  // Mod2
};

}  // namespace talvenor_hooks
