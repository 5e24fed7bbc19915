// Qt first: the X headers define macros (Status, None, Bool) that Qt's clash with.
#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/keyboard/Keyboard.h"
#include "platform/keyboard/WinKeys.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon-compose.h>
#include <xkbcommon/xkbcommon.h>

namespace platform {
namespace {

using namespace keys;

struct FixedName {
  std::uint8_t scan;
  bool extended;
  const char* name;
};

// Names of the keys that carry no character, as a Windows user reads them.
constexpr FixedName kFixedNames[] = {
    {0x01, false, "Esc"},          {0x0E, false, "Backspace"},   {0x0F, false, "Tab"},
    {0x1C, false, "Enter"},        {0x1D, false, "Ctrl"},        {0x2A, false, "Shift"},
    {0x36, false, "Right Shift"},  {0x37, false, "Num *"},       {0x38, false, "Alt"},
    {0x39, false, "Space"},        {0x3A, false, "Caps Lock"},   {0x3B, false, "F1"},
    {0x3C, false, "F2"},           {0x3D, false, "F3"},          {0x3E, false, "F4"},
    {0x3F, false, "F5"},           {0x40, false, "F6"},          {0x41, false, "F7"},
    {0x42, false, "F8"},           {0x43, false, "F9"},          {0x44, false, "F10"},
    {0x45, false, "Pause"},        {0x46, false, "Scroll Lock"}, {0x47, false, "Num 7"},
    {0x48, false, "Num 8"},        {0x49, false, "Num 9"},       {0x4A, false, "Num -"},
    {0x4B, false, "Num 4"},        {0x4C, false, "Num 5"},       {0x4D, false, "Num 6"},
    {0x4E, false, "Num +"},        {0x4F, false, "Num 1"},       {0x50, false, "Num 2"},
    {0x51, false, "Num 3"},        {0x52, false, "Num 0"},       {0x53, false, "Num Del"},
    {0x54, false, "Sys Req"},      {0x57, false, "F11"},         {0x58, false, "F12"},
    {0x64, false, "F13"},          {0x65, false, "F14"},         {0x66, false, "F15"},
    {0x67, false, "F16"},          {0x68, false, "F17"},         {0x69, false, "F18"},
    {0x6A, false, "F19"},          {0x6B, false, "F20"},         {0x6C, false, "F21"},
    {0x6D, false, "F22"},          {0x6E, false, "F23"},         {0x76, false, "F24"},
    {0x1C, true, "Num Enter"},     {0x1D, true, "Right Ctrl"},   {0x35, true, "Num /"},
    {0x37, true, "Prnt Scrn"},     {0x38, true, "Right Alt"},    {0x45, true, "Num Lock"},
    {0x46, true, "Break"},         {0x47, true, "Home"},         {0x48, true, "Up"},
    {0x49, true, "Page Up"},       {0x4B, true, "Left"},         {0x4D, true, "Right"},
    {0x4F, true, "End"},           {0x50, true, "Down"},         {0x51, true, "Page Down"},
    {0x52, true, "Insert"},        {0x53, true, "Delete"},       {0x5B, true, "Left Windows"},
    {0x5C, true, "Right Windows"}, {0x5D, true, "Application"},
};

const char* FixedKeyName(unsigned scan, bool extended) {
  for (const FixedName& n : kFixedNames)
    if (n.scan == scan && n.extended == extended) return n.name;
  return nullptr;
}

struct LayoutEntry {
  const char* layout;
  const char* variant;  // nullptr: any variant
  const char* id;
};

constexpr LayoutEntry kLayouts[] = {
    {"us", "dvorak", "00010409"}, {"us", "intl", "00020409"},     {"us", "altgr-intl", "00020409"},
    {"us", nullptr, "00000409"},  {"gb", nullptr, "00000809"},    {"de", nullptr, "00000407"},
    {"fr", nullptr, "0000040C"},  {"es", nullptr, "0000040A"},    {"it", nullptr, "00000410"},
    {"ru", nullptr, "00000419"},  {"cn", nullptr, "00000804"},    {"tw", nullptr, "00000404"},
    {"jp", nullptr, "00000411"},  {"kr", nullptr, "00000412"},    {"br", nullptr, "00000416"},
    {"pt", nullptr, "00000816"},  {"ch", "fr", "0000100C"},       {"ch", nullptr, "00000807"},
    {"be", nullptr, "0000080C"},  {"nl", nullptr, "00000413"},    {"se", nullptr, "0000041D"},
    {"no", nullptr, "00000414"},  {"dk", nullptr, "00000406"},    {"fi", nullptr, "0000040B"},
    {"pl", nullptr, "00000415"},  {"cz", nullptr, "00000405"},    {"sk", nullptr, "0000041B"},
    {"hu", nullptr, "0000040E"},  {"tr", nullptr, "0000041F"},    {"ua", nullptr, "00000422"},
    {"gr", nullptr, "00000408"},  {"il", nullptr, "0000040D"},    {"ara", nullptr, "00000401"},
    {"ca", nullptr, "00001009"},  {"latam", nullptr, "0000080A"}, {"at", nullptr, "00000C07"},
};

std::vector<std::string> SplitCommas(const std::string& s) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : s) {
    if (c == ',') {
      parts.push_back(cur);
      cur.clear();
    } else {
      cur += c;
    }
  }
  parts.push_back(cur);
  return parts;
}

// The accent a dead key leaves when nothing combines with it, where ASCII has it.
char DeadKeyAccent(xkb_keysym_t sym) {
  switch (sym) {
    case XKB_KEY_dead_grave:
      return '`';
    case XKB_KEY_dead_acute:
      return '\'';
    case XKB_KEY_dead_circumflex:
      return '^';
    case XKB_KEY_dead_tilde:
      return '~';
    case XKB_KEY_dead_diaeresis:
      return '"';
    default:
      return 0;
  }
}

// A lost server leaves the keyboard without state events instead of ending
// the program.
void OnConnectionLost(Display*, void* flag) {
  if (flag) *static_cast<bool*>(flag) = true;
}

// Xlib's default I/O error handler calls exit() itself; returning lets the
// connection's exit handler above decide.
int ReturnOnIOError(Display*) {
  return 0;
}

bool IsDeadKey(xkb_keysym_t sym) {
  return sym >= XKB_KEY_dead_grave && sym <= 0xfe8f;
}

// One byte of ASCII from a UTF-8 text of one character, or 0.
char AsciiOf(const char* utf8, int len) {
  if (len == 1 && static_cast<unsigned char>(utf8[0]) < 0x80) return utf8[0];
  return 0;
}

// Cuts a UTF-8 text to at most limit bytes without splitting a character.
std::size_t CutUtf8(const std::string& s, std::size_t limit) {
  if (s.size() <= limit) return s.size();
  std::size_t n = limit;
  while (n > 0 && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) --n;
  return n;
}

}  // namespace

struct LinuxKeyboard::Impl {
  xkb_context* ctx = nullptr;
  xkb_keymap* keymap = nullptr;
  xkb_state* scratch = nullptr;  // translation state, set from a key state array
  xkb_compose_table* composeTable = nullptr;
  xkb_compose_state* compose = nullptr;
  xkb_keysym_t pendingDead = 0;  // the dead key waiting for the next key
  XkbNames names;

  Display* dpy = nullptr;
  bool lost = false;
  int xkbEventBase = 0;
  Atom rulesAtom = None;
  QSocketNotifier* notifier = nullptr;

  unsigned mods = 0;  // X modifier masks
  unsigned locked = 0;
  unsigned group = 0;
  unsigned numLockMask = Mod2Mask;
  unsigned level3Mask = Mod5Mask;

  xkb_mod_index_t shiftIdx = XKB_MOD_INVALID, ctrlIdx = XKB_MOD_INVALID, altIdx = XKB_MOD_INVALID,
                  lockIdx = XKB_MOD_INVALID, numIdx = XKB_MOD_INVALID, level3Idx = XKB_MOD_INVALID;

  ~Impl() {
    delete notifier;
    if (dpy && !lost) XCloseDisplay(dpy);
    if (compose) xkb_compose_state_unref(compose);
    if (composeTable) xkb_compose_table_unref(composeTable);
    if (scratch) xkb_state_unref(scratch);
    if (keymap) xkb_keymap_unref(keymap);
    if (ctx) xkb_context_unref(ctx);
  }

  void Init() {
    ctx = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    if (!ctx) return;
    xkb_context_set_log_level(ctx, XKB_LOG_LEVEL_CRITICAL);
    Compile();
    const char* envs[] = {"LC_ALL", "LC_CTYPE", "LANG"};
    std::string locale;
    for (const char* e : envs) {
      const char* v = std::getenv(e);
      if (v && *v) {
        locale = v;
        break;
      }
    }
    if (!locale.empty() && locale != "C" && locale != "POSIX")
      composeTable =
          xkb_compose_table_new_from_locale(ctx, locale.c_str(), XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (!composeTable)
      composeTable =
          xkb_compose_table_new_from_locale(ctx, "en_US.UTF-8", XKB_COMPOSE_COMPILE_NO_FLAGS);
    if (composeTable) compose = xkb_compose_state_new(composeTable, XKB_COMPOSE_STATE_NO_FLAGS);
  }

  void Compile() {
    auto orNull = [](const std::string& s) { return s.empty() ? nullptr : s.c_str(); };
    xkb_rule_names rn{orNull(names.rules), orNull(names.model), orNull(names.layout),
                      orNull(names.variant), orNull(names.options)};
    xkb_keymap* fresh = xkb_keymap_new_from_names(ctx, &rn, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (!fresh) {
      // Names the local data cannot build: keep the keymap we have, or fall back.
      if (keymap) return;
      fresh = xkb_keymap_new_from_names(ctx, nullptr, XKB_KEYMAP_COMPILE_NO_FLAGS);
      if (!fresh) return;
    }
    if (scratch) xkb_state_unref(scratch);
    if (keymap) xkb_keymap_unref(keymap);
    keymap = fresh;
    scratch = xkb_state_new(keymap);
    shiftIdx = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_SHIFT);
    ctrlIdx = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CTRL);
    altIdx = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_ALT);
    lockIdx = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_CAPS);
    numIdx = xkb_keymap_mod_get_index(keymap, XKB_MOD_NAME_NUM);
    level3Idx = xkb_keymap_mod_get_index(keymap, "Mod5");
  }

  bool Connect() {
    int err = 0, reason = 0;
    int major = XkbMajorVersion, minor = XkbMinorVersion;
    if (!std::getenv("DISPLAY")) return false;
    XSetIOErrorHandler(ReturnOnIOError);
    dpy = XkbOpenDisplay(nullptr, &xkbEventBase, &err, &major, &minor, &reason);
    if (!dpy) return false;
    XSetIOErrorExitHandler(dpy, OnConnectionLost, &lost);
    rulesAtom = XInternAtom(dpy, "_XKB_RULES_NAMES", False);
    ReadServerNames();
    XkbStateRec st{};
    if (XkbGetState(dpy, XkbUseCoreKbd, &st) == Success) {
      mods = st.base_mods | st.latched_mods;
      locked = st.locked_mods;
      group = st.group;
    }
    if (unsigned m = XkbKeysymToModifiers(dpy, XK_Num_Lock)) numLockMask = m;
    if (unsigned m = XkbKeysymToModifiers(dpy, XK_ISO_Level3_Shift)) level3Mask = m;
    XkbSelectEventDetails(dpy, XkbUseCoreKbd, XkbStateNotify, XkbAllStateComponentsMask,
                          XkbModifierStateMask | XkbModifierBaseMask | XkbModifierLatchMask |
                              XkbModifierLockMask | XkbGroupStateMask);
    XkbSelectEvents(dpy, XkbUseCoreKbd, XkbNewKeyboardNotifyMask, XkbNewKeyboardNotifyMask);
    XSelectInput(dpy, DefaultRootWindow(dpy), PropertyChangeMask);
    XFlush(dpy);
    if (QCoreApplication::instance()) {
      notifier = new QSocketNotifier(ConnectionNumber(dpy), QSocketNotifier::Read);
      QObject::connect(notifier, &QSocketNotifier::activated, [this] { Drain(); });
    }
    return true;
  }

  void ReadServerNames() {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XkbNames got;
    if (XGetWindowProperty(dpy, DefaultRootWindow(dpy), rulesAtom, 0, 1024, False, XA_STRING, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 8) {
      std::string* fields[] = {&got.rules, &got.model, &got.layout, &got.variant, &got.options};
      std::size_t field = 0;
      for (unsigned long i = 0; i < count && field < 5; ++i) {
        if (data[i] == 0)
          ++field;
        else
          *fields[field] += static_cast<char>(data[i]);
      }
    }
    if (data) XFree(data);
    names = got;
  }

  // Reads every event the connection holds; called when the socket is readable.
  void Drain() {
    if (lost) return;
    bool reload = false;
    while (!lost && XPending(dpy) > 0) {
      XEvent e;
      XNextEvent(dpy, &e);
      if (e.type == xkbEventBase) {
        const auto* xe = reinterpret_cast<const XkbEvent*>(&e);
        if (xe->any.xkb_type == XkbStateNotify) {
          mods = static_cast<unsigned>(xe->state.base_mods | xe->state.latched_mods);
          locked = static_cast<unsigned>(xe->state.locked_mods);
          group = static_cast<unsigned>(xe->state.group);
        } else if (xe->any.xkb_type == XkbNewKeyboardNotify) {
          reload = true;
        }
      } else if (e.type == PropertyNotify && e.xproperty.atom == rulesAtom) {
        reload = true;
      }
    }
    if (lost) {
      if (notifier) notifier->setEnabled(false);
      return;
    }
    if (reload) {
      ReadServerNames();
      Compile();
      if (unsigned m = XkbKeysymToModifiers(dpy, XK_Num_Lock)) numLockMask = m;
      if (unsigned m = XkbKeysymToModifiers(dpy, XK_ISO_Level3_Shift)) level3Mask = m;
      // The round trips above may have queued further events.
      if (XPending(dpy) > 0) Drain();
    }
  }

  void FillState(std::uint8_t s[256]) const {
    std::memset(s, 0, 256);
    auto down = [&](int vk) { s[vk] |= 0x80; };
    if (mods & ShiftMask) down(VK_SHIFT), down(VK_LSHIFT);
    if (mods & ControlMask) down(VK_CONTROL), down(VK_LCONTROL);
    if (mods & Mod1Mask) down(VK_MENU), down(VK_LMENU);
    if (mods & level3Mask) {  // AltGr reads as Ctrl+Alt, as on Windows
      down(VK_MENU), down(VK_RMENU), down(VK_CONTROL), down(VK_LCONTROL);
    }
    if (mods & Mod4Mask) down(VK_LWIN);
    if (locked & LockMask) s[VK_CAPITAL] |= 1;
    if (locked & numLockMask) s[VK_NUMLOCK] |= 1;
  }

  unsigned Group(xkb_keycode_t keycode) const {
    const xkb_layout_index_t n = xkb_keymap_num_layouts_for_key(keymap, keycode);
    return n ? group % n : 0;
  }
};

LinuxKeyboard::LinuxKeyboard() : d_(std::make_unique<Impl>()) {
  const bool connected = d_->Connect();
  d_->Init();
  if (connected) d_->Drain();
}

LinuxKeyboard::LinuxKeyboard(const XkbNames& names) : d_(std::make_unique<Impl>()) {
  d_->names = names;
  d_->Init();
}

LinuxKeyboard::~LinuxKeyboard() = default;

bool LinuxKeyboard::Connected() const {
  return d_->dpy != nullptr;
}

void LinuxKeyboard::SetXkbState(unsigned mods, unsigned locked, unsigned group) {
  d_->mods = mods;
  d_->locked = locked;
  d_->group = group;
}

std::int16_t LinuxKeyboard::GetKeyState(int vk) {
  if (vk < 0 || vk > 255) return 0;
  std::uint8_t s[256];
  d_->FillState(s);
  const std::uint8_t b = s[vk];
  return static_cast<std::int16_t>((b & 0x80 ? 0xFF80 : 0) | (b & 1));
}

bool LinuxKeyboard::GetKeyboardState(std::uint8_t keyState[256]) {
  d_->FillState(keyState);
  return true;
}

int LinuxKeyboard::GetKeyNameText(std::int32_t keyData, char* buffer, int size) {
  if (!buffer || size <= 0) return 0;
  buffer[0] = 0;
  const auto data = static_cast<std::uint32_t>(keyData);
  unsigned scan = (data >> kScanShift) & 0xFF;
  bool extended = (data & kExtendedBit) != 0;
  if (data & kDontCareBit) {
    if (scan == 0x36 && !extended) scan = 0x2A;
    if (extended && (scan == 0x1D || scan == 0x38)) extended = false;
  }
  std::string name;
  if (const char* fixed = FixedKeyName(scan, extended)) {
    name = fixed;
  } else if (d_->keymap) {
    const xkb_keycode_t keycode = KeycodeOfScan(scan, extended);
    if (keycode == 0) return 0;
    const xkb_keysym_t* syms = nullptr;
    const int n =
        xkb_keymap_key_get_syms_by_level(d_->keymap, keycode, d_->Group(keycode), 0, &syms);
    if (n <= 0) return 0;
    xkb_keysym_t sym = syms[0];
    if (IsDeadKey(sym)) {
      if (char accent = DeadKeyAccent(sym)) name = std::string(1, accent);
    } else {
      char utf8[16] = {};
      const int len = xkb_keysym_to_utf8(xkb_keysym_to_upper(sym), utf8, sizeof utf8);
      if (len > 1 && static_cast<unsigned char>(utf8[0]) >= 0x20 && utf8[0] != 0x7F) name = utf8;
    }
    if (name.empty()) {
      char sn[64] = {};
      if (xkb_keysym_get_name(sym, sn, sizeof sn) > 0) name = sn;
    }
  }
  const std::size_t n = CutUtf8(name, static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, name.data(), n);
  buffer[n] = 0;
  return static_cast<int>(n);
}

int LinuxKeyboard::ToAscii(UINT vk, UINT scanCode, const std::uint8_t keyState[256], char out[2],
                           UINT flags) {
  (void)flags;
  if (!out || !d_->keymap) return 0;
  out[0] = out[1] = 0;
  if (scanCode & kTransitionBit) return 0;
  xkb_keycode_t keycode = 0;
  if (scanCode & 0x00FF0000u)
    keycode = KeycodeOfScan((scanCode >> kScanShift) & 0xFF, (scanCode & kExtendedBit) != 0);
  else if (scanCode & 0xFFu)
    keycode = KeycodeOfScan(scanCode & 0xFF, (scanCode & 0xFF00u) == 0xE000u);
  if (keycode == 0) keycode = KeycodeOfVk(vk);
  if (keycode == 0) return 0;

  std::uint8_t none[256] = {};
  const std::uint8_t* ks = keyState ? keyState : none;
  auto down = [&](int k) { return (ks[k] & 0x80) != 0; };
  xkb_mod_mask_t depressed = 0, lockedMask = 0;
  auto bit = [](xkb_mod_index_t idx) -> xkb_mod_mask_t {
    return idx == XKB_MOD_INVALID ? 0 : (xkb_mod_mask_t{1} << idx);
  };
  if (down(VK_SHIFT) || down(VK_LSHIFT) || down(VK_RSHIFT)) depressed |= bit(d_->shiftIdx);
  if (down(VK_RMENU)) {
    depressed |= bit(d_->level3Idx);  // AltGr
  } else {
    if (down(VK_CONTROL) || down(VK_LCONTROL) || down(VK_RCONTROL)) depressed |= bit(d_->ctrlIdx);
    if (down(VK_MENU) || down(VK_LMENU)) depressed |= bit(d_->altIdx);
  }
  if (ks[VK_CAPITAL] & 1) lockedMask |= bit(d_->lockIdx);
  if (ks[VK_NUMLOCK] & 1) lockedMask |= bit(d_->numIdx);
  xkb_state_update_mask(d_->scratch, depressed, 0, lockedMask, 0, 0, d_->Group(keycode));

  const xkb_keysym_t sym = xkb_state_key_get_one_sym(d_->scratch, keycode);
  char utf8[16] = {};
  const int len = xkb_state_key_get_utf8(d_->scratch, keycode, utf8, sizeof utf8);
  const char plain = AsciiOf(utf8, len);

  // Two characters when a waiting dead key cannot take this key.
  auto cancelled = [&](char accent) {
    int n = 0;
    if (accent) out[n++] = accent;
    if (plain) out[n++] = plain;
    return n;
  };

  if (d_->compose) {
    const xkb_compose_feed_result fed = xkb_compose_state_feed(d_->compose, sym);
    if (fed == XKB_COMPOSE_FEED_IGNORED) return plain ? (out[0] = plain, 1) : 0;
    switch (xkb_compose_state_get_status(d_->compose)) {
      case XKB_COMPOSE_COMPOSING:
        if (IsDeadKey(sym)) {
          if (!d_->pendingDead) d_->pendingDead = sym;
          out[0] = DeadKeyAccent(sym);
          return -1;
        }
        return 0;  // a Compose key sequence under way: nothing yet
      case XKB_COMPOSE_COMPOSED: {
        char composed[16] = {};
        const int clen = xkb_compose_state_get_utf8(d_->compose, composed, sizeof composed);
        xkb_compose_state_reset(d_->compose);
        d_->pendingDead = 0;
        if (const char c = AsciiOf(composed, clen)) {
          out[0] = c;
          return 1;
        }
        return 0;
      }
      case XKB_COMPOSE_CANCELLED: {
        const char accent = DeadKeyAccent(d_->pendingDead);
        xkb_compose_state_reset(d_->compose);
        d_->pendingDead = 0;
        return cancelled(accent);
      }
      case XKB_COMPOSE_NOTHING:
        break;
    }
  } else if (d_->pendingDead || IsDeadKey(sym)) {
    // No compose data: a dead key never combines.
    if (IsDeadKey(sym) && !d_->pendingDead) {
      d_->pendingDead = sym;
      out[0] = DeadKeyAccent(sym);
      return -1;
    }
    if (sym >= XKB_KEY_Shift_L && sym <= XKB_KEY_Hyper_R) return 0;
    const char accent = DeadKeyAccent(d_->pendingDead);
    d_->pendingDead = 0;
    return cancelled(accent);
  }
  if (!plain) return 0;
  out[0] = plain;
  return 1;
}

bool LinuxKeyboard::GetKeyboardLayoutName(char* buffer) {
  if (!buffer) return false;
  const std::vector<std::string> layouts = SplitCommas(d_->names.layout);
  const std::vector<std::string> variants = SplitCommas(d_->names.variant);
  const std::size_t g = d_->group < layouts.size() ? d_->group : 0;
  const std::string id =
      LayoutId(layouts[g].empty() ? "us" : layouts[g], g < variants.size() ? variants[g] : "");
  std::memcpy(buffer, id.c_str(), id.size() + 1);
  return true;
}

std::string LinuxKeyboard::LayoutId(const std::string& layout, const std::string& variant) {
  for (const LayoutEntry& e : kLayouts)
    if (layout == e.layout && (!e.variant || variant == e.variant)) return e.id;
  return "00000409";
}

}  // namespace platform
