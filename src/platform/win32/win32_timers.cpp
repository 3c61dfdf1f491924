#include "platform/win32/win32_timers.h"

#include <windows.h>

#include <map>

#include "platform/errors.h"

namespace nv {

namespace {
struct Pending {
  Timers::Id id;
  std::function<void()> callback;
};
// A timer procedure gets no context but the system's timer id; there is one
// UI thread, so one table serves.
std::map<UINT_PTR, Pending>& Table() {
  static std::map<UINT_PTR, Pending> table;
  return table;
}
Timers::Id g_nextId = 1;

void CALLBACK Fire(HWND, UINT, UINT_PTR systemId, DWORD) {
  KillTimer(nullptr, systemId);
  auto it = Table().find(systemId);
  if (it == Table().end()) return;
  auto callback = std::move(it->second.callback);
  Table().erase(it);
  callback();
}
}  // namespace

Win32Timers::~Win32Timers() {
  for (const auto& entry : Table()) KillTimer(nullptr, entry.first);
  Table().clear();
}

Timers::Id Win32Timers::StartOnce(unsigned milliseconds, std::function<void()> callback) {
  const UINT_PTR systemId = SetTimer(nullptr, 0, milliseconds, Fire);
  if (systemId == 0)
    throw AppError(static_cast<int>(GetLastError()), "Cannot start a timer", "Norvane");
  const Id id = g_nextId++;
  if (g_nextId == 0) g_nextId = 1;  // 0 means no timer to the callers
  Table()[systemId] = Pending{id, std::move(callback)};
  return id;
}

void Win32Timers::Cancel(Id id) {
  for (auto it = Table().begin(); it != Table().end(); ++it) {
    if (it->second.id != id) continue;
    KillTimer(nullptr, it->first);
    Table().erase(it);
    return;
  }
}

}  // namespace nv
