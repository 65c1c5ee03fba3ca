// The writers' turn on one description file: a companion file held open with
// no sharing (WriterTurn.h says why).
#include "WriterTurn.h"

#include "FileImage.h"

CWriterTurn::CWriterTurn() : m_file(INVALID_HANDLE_VALUE) {}

CWriterTurn::~CWriterTurn() { Release(); }

bool CWriterTurn::Take(const CFileName& path) {
    Release();
    if (!CompanionPath(path, kTurnExtension, &m_path)) return false;
    const CFileName turn = m_path.Name();
    DWORD flags = FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE;
    DWORD start = GetTickCount();
    DWORD pause = 1;
    for (;;) {
        m_file = turn.Create(GENERIC_WRITE, 0, OPEN_ALWAYS, flags);
        if (m_file != INVALID_HANDLE_VALUE) return true;
        DWORD error = GetLastError();
        // A system or server that refuses the flag: the file is removed by hand.
        if (error == ERROR_INVALID_PARAMETER && (flags & FILE_FLAG_DELETE_ON_CLOSE)) {
            flags &= ~DWORD(FILE_FLAG_DELETE_ON_CLOSE);
            continue;
        }
        // Held by another writer; or, refused, still there: its last holder has
        // closed it and the system is deleting it.
        bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
        if (error == ERROR_ACCESS_DENIED)
            held = turn.Exists() || GetLastError() == ERROR_ACCESS_DENIED;
        if (!held || GetTickCount() - start >= kTurnWaitMs) break;
        // Short pauses first: a turn is mostly over within milliseconds.
        Sleep(pause);
        if (pause < 16) pause *= 2;
    }
    m_path.Clear();
    return false;
}

void CWriterTurn::Release() {
    if (m_file == INVALID_HANDLE_VALUE) return;
    CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    // Gone already where the system deletes it on close; refused harmlessly
    // when the next writer holds it by now.
    m_path.Name().Delete();
    m_path.Clear();
}
