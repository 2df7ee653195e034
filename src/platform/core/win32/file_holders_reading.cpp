#include "platform/core/win32/file_holders_reading.h"

#include <algorithm>
#include <windows.h>

// After windows.h, whose types it uses without including it.
#include <restartmanager.h>

namespace ferrowyn {

static_assert(sizeof(RM_PROCESS_INFO) == kProcessInfoSize && offsetof(RM_PROCESS_INFO, strAppName) == 12 &&
              offsetof(RM_PROCESS_INFO, strServiceShortName) == 524);

std::vector<FileHolder> holdersOf(const std::filesystem::path& path) {
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    if (RmStartSession(&session, 0, key) != ERROR_SUCCESS) {
        return {};
    }
    std::vector<RM_PROCESS_INFO> processes;
    UINT listed = 0;
    LPCWSTR files[] = {path.c_str()};
    if (RmRegisterResources(session, 1, files, 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
        // Programs may start or end between the count and the list: a few rounds, then nothing.
        for (int round = 0; round < 4; ++round) {
            UINT needed = 0;
            UINT count = static_cast<UINT>(processes.size());
            DWORD reasons = 0;
            const DWORD result = RmGetList(session, &needed, &count, processes.data(), &reasons);
            if (result != ERROR_MORE_DATA) {
                listed = result == ERROR_SUCCESS ? std::min<UINT>(count, static_cast<UINT>(processes.size())) : 0;
                break;
            }
            processes.resize(needed);
        }
    }
    RmEndSession(session);
    return holdersFromProcessList(std::as_bytes(std::span(processes).first(listed)), GetCurrentProcessId());
}

} // namespace ferrowyn
