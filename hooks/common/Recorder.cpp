#include "Recorder.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <dlfcn.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace talvenor_hooks {
namespace {

std::uint16_t Read16(const unsigned char* p, bool swapped) {
  std::uint16_t v;
  std::memcpy(&v, p, 2);
  return swapped ? static_cast<std::uint16_t>((v >> 8) | (v << 8)) : v;
}

std::uint32_t Read32(const unsigned char* p, bool swapped) {
  std::uint32_t v;
  std::memcpy(&v, p, 4);
  return swapped ? __builtin_bswap32(v) : v;
}

void OnRecordedData(XPointer closure, XRecordInterceptData* d) {
  auto* self = reinterpret_cast<Recorder*>(closure);
  if (d->data)
    self->Deliver(d->category, d->data, static_cast<std::size_t>(d->data_len) * 4u,
                  d->client_swapped != 0);
  XRecordFreeData(d);
}

// Lost connections end the recorder quietly instead of ending the program.
void OnConnectionLost(Display*, void* flag) {
  if (flag) static_cast<std::atomic<bool>*>(flag)->store(true);
}

// Xlib's default I/O error handler calls exit() on whichever thread notices a
// lost server, racing the program's own exit. Returning instead leaves the
// decision to each connection's exit handler (ours only marks the loss).
int ReturnOnIOError(Display*) {
  return 0;
}

// Errors of the set-up requests are collected here instead of ending the
// program; only the starting thread makes requests that can fail.
std::atomic<int> g_setupErrors{0};
int CountError(Display*, XErrorEvent*) {
  ++g_setupErrors;
  return 0;
}

}  // namespace

PostFunction FindPostFunction() {
  return reinterpret_cast<PostFunction>(dlsym(RTLD_DEFAULT, "TalvenorPostMessage"));
}

bool DecodeDeviceEvent(const unsigned char* data, std::size_t length, bool swapped,
                       DeviceEvent& e) {
  if (!data || length < 32) return false;
  const int type = data[0] & 0x7F;
  if (type < KeyPress || type > MotionNotify) return false;
  e.type = static_cast<std::uint8_t>(type);
  e.detail = data[1];
  e.time = Read32(data + 4, swapped);
  e.root = Read32(data + 8, swapped);
  e.event = Read32(data + 12, swapped);
  e.child = Read32(data + 16, swapped);
  e.rootX = static_cast<std::int16_t>(Read16(data + 20, swapped));
  e.rootY = static_cast<std::int16_t>(Read16(data + 22, swapped));
  e.state = Read16(data + 28, swapped);
  return true;
}

Recorder::~Recorder() {
  Stop();
}

bool Recorder::Start(int firstType, int lastType, Client* client,
                     const std::function<bool(Display*)>& setup) {
  if (Running()) return false;
  broken_ = false;
  XSetIOErrorHandler(ReturnOnIOError);
  ctrl_ = XOpenDisplay(nullptr);
  if (!ctrl_) return false;
  XSetIOErrorExitHandler(ctrl_, OnConnectionLost, &broken_);
  int major = 0, minor = 0;
  if (!XRecordQueryVersion(ctrl_, &major, &minor)) {
    Close();
    return false;
  }
  data_ = XOpenDisplay(nullptr);
  if (!data_) {
    Close();
    return false;
  }
  XSetIOErrorExitHandler(data_, OnConnectionLost, &broken_);
  if (setup && !setup(ctrl_)) {
    Close();
    return false;
  }

  XRecordRange* range = XRecordAllocRange();
  if (!range) {
    Close();
    return false;
  }
  range->device_events.first = static_cast<unsigned char>(firstType);
  range->device_events.last = static_cast<unsigned char>(lastType);
  XRecordClientSpec clients = XRecordAllClients;
  g_setupErrors = 0;
  XErrorHandler previous = XSetErrorHandler(CountError);
  context_ = XRecordCreateContext(ctrl_, 0, &clients, 1, &range, 1);
  XSync(ctrl_, False);
  XSetErrorHandler(previous);
  XFree(range);
  if (!context_ || g_setupErrors.load() != 0 || broken_) {
    context_ = 0;
    Close();
    return false;
  }
  client_ = client;
  if (!XRecordEnableContextAsync(data_, context_, OnRecordedData,
                                 reinterpret_cast<XPointer>(this))) {
    Close();
    return false;
  }
  XFlush(data_);
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    Close();
    return false;
  }
  thread_ = std::thread([this] { Run(); });
  return true;
}

bool Recorder::Stop() {
  if (!Running()) return false;
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    ssize_t ignored = write(wakeFd_, &one, sizeof one);
    (void)ignored;
    thread_.join();
  }
  Close();
  return true;
}

void Recorder::Close() {
  if (ctrl_ && context_ && !broken_) {
    XRecordDisableContext(ctrl_, context_);
    XRecordFreeContext(ctrl_, context_);
    XSync(ctrl_, False);
  }
  context_ = 0;
  // A connection that lost its server is left as it is: closing it waits
  // forever on the lock that the failed read holds.
  if (!broken_) {
    if (data_) XCloseDisplay(data_);
    if (ctrl_) XCloseDisplay(ctrl_);
  }
  data_ = ctrl_ = nullptr;
  if (wakeFd_ >= 0) close(wakeFd_);
  wakeFd_ = -1;
  client_ = nullptr;
}

void Recorder::Deliver(int category, const unsigned char* data, std::size_t length, bool swapped) {
  if (category != XRecordFromServer || !client_) return;
  DeviceEvent e;
  if (DecodeDeviceEvent(data, length, swapped, e)) client_->OnEvent(e);
}

void Recorder::Run() {
  const int xfd = ConnectionNumber(data_);
  int gather = 0;
  for (;;) {
    pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {xfd, POLLIN, 0}};
    int n = 0;
    // After a gathering wait, a read that finds events waiting is a gathered
    // one; a read that has to wait again is not.
    if (gather > 0) n = poll(fds, 2, 0);
    const bool gathered = n > 0;
    while (n == 0 || (n < 0 && errno == EINTR)) n = poll(fds, 2, -1);
    if (n < 0) return;
    if (fds[0].revents) return;
    if (fds[1].revents) XRecordProcessReplies(data_);
    if (broken_) return;
    gather = client_->AfterBatch(gathered);
    if (gather > 0) {
      // Let a stream of events collect in the socket; Stop still wakes us.
      pollfd wake = {wakeFd_, POLLIN, 0};
      if (poll(&wake, 1, gather) > 0) return;
    }
  }
}

}  // namespace talvenor_hooks
