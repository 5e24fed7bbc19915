#include "Recorder.h"

#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>
#include <dlfcn.h>
#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>
#include <xcb/record.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>  // xcb_poll_for_reply

#include <cerrno>
#include <cstdlib>
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
  data_ = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(data_)) {
    Close();
    return false;
  }
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
  // The server's first reply is the start of the data (it never carries
  // events): waiting for it tells that recording really runs.
  const xcb_record_enable_context_cookie_t cookie =
      xcb_record_enable_context(data_, static_cast<xcb_record_context_t>(context_));
  enableSequence_ = cookie.sequence;
  xcb_generic_error_t* error = nullptr;
  xcb_record_enable_context_reply_t* first = xcb_record_enable_context_reply(data_, cookie, &error);
  const bool started = first && !error;
  std::free(first);
  std::free(error);
  if (!started) {
    Close();
    return false;
  }
  wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    Close();
    return false;
  }
  thread_ = std::thread([this] {
    pthread_setname_np(pthread_self(), client_->ThreadName());
    Run();
  });
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
  // An Xlib connection that lost its server is left as it is: closing it can
  // wait forever on the lock a failed read holds. XCB's closes either way.
  if (!broken_ && ctrl_) XCloseDisplay(ctrl_);
  if (data_) xcb_disconnect(data_);
  data_ = nullptr;
  ctrl_ = nullptr;
  enableSequence_ = 0;
  if (wakeFd_ >= 0) close(wakeFd_);
  wakeFd_ = -1;
  client_ = nullptr;
}

int Recorder::DeliverBlock(const unsigned char* data, std::size_t length, bool swapped,
                           Client& client) {
  int count = 0;
  std::size_t at = 0;
  while (data && length - at >= 32) {
    std::size_t size = 32;
    if ((data[at] & 0x7F) == GenericEvent) size += 4u * Read32(data + at + 4, swapped);
    if (size > length - at) break;
    DeviceEvent e;
    if (DecodeDeviceEvent(data + at, size, swapped, e)) {
      client.OnEvent(e);
      ++count;
    }
    at += size;
  }
  return count;
}

// Hands over every reply read so far and reads what the socket holds, without
// waiting: the number of replies, or -1 once the connection is lost or
// recording has ended.
int Recorder::Drain() {
  int replies = 0;
  for (;;) {
    void* reply = nullptr;
    xcb_generic_error_t* error = nullptr;
    if (!xcb_poll_for_reply(data_, enableSequence_, &reply, &error)) break;
    if (error) {
      std::free(error);
      return -1;
    }
    if (!reply) return -1;  // no further replies will come
    ++replies;
    auto* r = static_cast<xcb_record_enable_context_reply_t*>(reply);
    const int category = r->category;
    if (category == XRecordFromServer)
      DeliverBlock(xcb_record_enable_context_data(r),
                   static_cast<std::size_t>(xcb_record_enable_context_data_length(r)),
                   r->client_swapped != 0, *client_);
    std::free(reply);
    if (category == XRecordEndOfData) return -1;
  }
  if (xcb_connection_has_error(data_)) {
    broken_ = true;
    return -1;
  }
  return replies;
}

void Recorder::Run() {
  const int xfd = xcb_get_file_descriptor(data_);
  int gather = 0;
  for (;;) {
    // After a gathering wait, what has collected is read at once (a gathered
    // batch); when nothing has, the next batch is waited for as usual.
    bool gathered = false;
    if (gather > 0) {
      const int got = Drain();
      if (got < 0) return;
      gathered = got > 0;
    }
    if (!gathered) {
      pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {xfd, POLLIN, 0}};
      int n;
      do n = poll(fds, 2, -1);
      while (n < 0 && errno == EINTR);
      if (n < 0 || fds[0].revents) return;
      if (fds[1].revents && Drain() < 0) return;
    }
    gather = client_->AfterBatch(gathered);
    if (gather > 0) {
      // Let a stream of events collect in the socket; Stop still wakes us.
      pollfd wake = {wakeFd_, POLLIN, 0};
      if (poll(&wake, 1, gather) > 0) return;
    }
  }
}

}  // namespace talvenor_hooks
