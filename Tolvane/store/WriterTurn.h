// CWriterTurn: the turn that the writers of one description file take, so that
// a change reads, changes and replaces the file while no other writer of it is
// inside its own change, in this process, in another one, or on another
// machine that uses the folder through a network share.
//
// As designed: the turn is a file beside the description file (its companion
// .$LK, FileImage.h), created hidden and held open with no sharing at all. The
// system lets one opener at a time have a file opened so; across a network it
// is the server that enforces it (the deny-all open of the file-sharing
// protocol), so it reaches every machine that uses the share, where a named
// mutex would reach only one. Windows 95 has it too. It cannot be a lock on the
// description file itself: a handle held open on that file would make the
// rename that replaces it fail (the system renames over no open file), and a
// byte-range lock would stay with the old file once it is replaced.
//
// Readers never take the turn: they only meet a writer at the moment of its
// replace, as before.
//
// A writer that dies loses its handles with its process, and the system (or,
// for a machine that is gone, the server once it drops that session) closes
// them: the turn is free again. Where FILE_FLAG_DELETE_ON_CLOSE is honoured
// (Windows NT and later, and servers that offer it) the file goes with its
// last handle; elsewhere the writer removes it after closing it, and a file
// left by a writer killed on Windows 95, 98 or Me is one hidden file per
// description file, which the next writer simply opens again.
#pragma once

#include <windows.h>

#include "FileName.h"

// How long a writer waits for another writer's turn before it gives up.
const DWORD kTurnWaitMs = 3000;

class CWriterTurn {
public:
    CWriterTurn();
    ~CWriterTurn();
    CWriterTurn(const CWriterTurn&) = delete;
    CWriterTurn& operator=(const CWriterTurn&) = delete;

    // Takes the turn on the description file at path, waiting up to
    // kTurnWaitMs while another writer holds it. False, without the turn,
    // when it is still held then or the turn's file cannot be made here.
    bool Take(const CFileName& path);
    void Release();
    bool Held() const { return m_file != INVALID_HANDLE_VALUE; }

private:
    HANDLE m_file;
    CFilePath m_path;
};
