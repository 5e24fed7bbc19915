#include "platform/keyboard/Keyboard.h"

#include <cstring>

namespace platform {
namespace {

Keyboard* g_current = nullptr;
LinuxKeyboard* g_real = nullptr;  // made on first use, lives to the end of the process

}  // namespace

Keyboard& GetKeyboard() {
  if (g_current) return *g_current;
  if (!g_real) g_real = new LinuxKeyboard;
  return *g_real;
}

void SetKeyboard(Keyboard* keyboard) {
  g_current = keyboard;
}

std::int16_t FakeKeyboard::GetKeyState(int vk) {
  ++keyStateCalls;
  if (vk < 0 || vk > 255) return 0;
  const std::uint8_t b = state[vk];
  return static_cast<std::int16_t>((b & 0x80 ? 0xFF80 : 0) | (b & 1));
}

bool FakeKeyboard::GetKeyboardState(std::uint8_t keyState[256]) {
  ++keyboardStateCalls;
  std::memcpy(keyState, state, 256);
  return true;
}

int FakeKeyboard::GetKeyNameText(std::int32_t keyData, char* buffer, int size) {
  ++nameCalls;
  lastNameData = keyData;
  if (!buffer || size <= 0) return 0;
  auto it = names.find(static_cast<std::uint32_t>(keyData) & 0x01FF0000u);
  const std::string name = it == names.end() ? std::string() : it->second;
  const std::size_t n = name.size() < static_cast<std::size_t>(size - 1)
                            ? name.size()
                            : static_cast<std::size_t>(size - 1);
  std::memcpy(buffer, name.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

int FakeKeyboard::ToAscii(UINT vk, UINT scanCode, const std::uint8_t*, char out[2], UINT flags) {
  ++toAsciiCalls;
  lastScanCode = scanCode;
  lastFlags = flags;
  out[0] = out[1] = 0;
  auto it = chars.find(vk);
  if (it == chars.end()) return 0;
  for (std::size_t i = 0; i < it->second.size() && i < 2; ++i) out[i] = it->second[i];
  auto r = results.find(vk);
  return r == results.end() ? static_cast<int>(it->second.size() < 2 ? it->second.size() : 2)
                            : r->second;
}

bool FakeKeyboard::GetKeyboardLayoutName(char* buffer) {
  std::memcpy(buffer, layout.c_str(), layout.size() + 1);
  return true;
}

}  // namespace platform
