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
typedef struct xcb_connection_t xcb_connection_t;

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
    // The recorder thread's name, as tools such as top show it (15 bytes at most).
    virtual const char* ThreadName() const { return "recorder"; }
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

  // Hands each device event of one block of recorded server data (events one
  // after another, as the server packs them) to client, in order; returns how
  // many there were. A trailing part too short for an event is dropped.
  static int DeliverBlock(const unsigned char* data, std::size_t length, bool swapped,
                          Client& client);

 private:
  void Run();
  int Drain();
  void Close();

  // Requests go through Xlib on ctrl_; the recorded data arrives on data_, read
  // through XCB directly: Xlib would add a failed read and two allocations per
  // recorded event.
  Display* ctrl_ = nullptr;
  xcb_connection_t* data_ = nullptr;
  unsigned int enableSequence_ = 0;
  unsigned long context_ = 0;
  int wakeFd_ = -1;
  Client* client_ = nullptr;
  std::thread thread_;
  std::atomic<bool> broken_{false};
};

}  // namespace talvenor_hooks
