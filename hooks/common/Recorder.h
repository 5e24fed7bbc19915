#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// The recording side shared by the two hook libraries: an X RECORD context over
// all clients for a range of device events, read on a thread of its own that
// sleeps on the connection's file descriptor. No Qt here.
typedef struct _XDisplay Display;

namespace talvenor_hooks {

// The executable's C-linkage posting function.
using PostFunction = int (*)(std::uintptr_t window, std::uint32_t msg, std::uintptr_t wParam,
                             std::intptr_t lParam);

// Looks the posting function up in the running program; nullptr when absent.
PostFunction FindPostFunction();

// The fields of a recorded core device event, in host byte order.
struct DeviceEvent {
  std::uint8_t type = 0;    // KeyPress (2) .. MotionNotify (6)
  std::uint8_t detail = 0;  // key code or button
  std::uint32_t time = 0;   // server milliseconds
  std::uint32_t root = 0, event = 0, child = 0;
  std::int16_t rootX = 0, rootY = 0;
  std::uint16_t state = 0;  // modifier and button mask before the event
};

// Decodes the 32 bytes of a recorded core event (swapped: the bytes are in the
// other byte order). False when the data is no device event.
bool DecodeDeviceEvent(const unsigned char* data, std::size_t length, bool swapped,
                       DeviceEvent& event);

class Recorder {
 public:
  class Client {
   public:
    virtual ~Client() = default;
    // On the recorder's thread, for each recorded event in server order.
    virtual void OnEvent(const DeviceEvent& event) = 0;
    // After each batch read from the connection (gathered: events were waiting
    // when a gathering wait ended): milliseconds to let further events gather before the
    // next read (0: read as soon as they arrive).
    virtual int AfterBatch(bool gathered) {
      (void)gathered;
      return 0;
    }
  };

  Recorder() = default;
  ~Recorder();
  Recorder(const Recorder&) = delete;
  Recorder& operator=(const Recorder&) = delete;

  // Opens the display named by $DISPLAY, runs setup on the control connection
  // (false from it fails the start), and records the core event types
  // firstType..lastType of every client. False with no display, no RECORD
  // extension, or when the context cannot be made.
  bool Start(int firstType, int lastType, Client* client,
             const std::function<bool(Display*)>& setup);
  // Ends recording and joins the thread. False when nothing was started.
  bool Stop();
  bool Running() const { return ctrl_ != nullptr; }
  // True once the recorder's connection to the server is lost.
  bool Broken() const { return broken_.load(); }

  // Called by Xlib for each block of recorded data (public for the C callback).
  void Deliver(int category, const unsigned char* data, std::size_t length, bool swapped);

 private:
  void Run();
  void Close();

  Display* ctrl_ = nullptr;
  Display* data_ = nullptr;
  unsigned long context_ = 0;
  int wakeFd_ = -1;
  Client* client_ = nullptr;
  std::thread thread_;
  std::atomic<bool> broken_{false};
};

}  // namespace talvenor_hooks
