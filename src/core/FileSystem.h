// The files the program touches itself: the lock file held for the process's
// life, and whole files written at once. Paths are GBK texts; the Win32
// implementation converts them with code page 936 and calls the W functions.
#pragma once

#include <memory>

#include "core/Text.h"

// A file held open until the object is destroyed (or the process ends).
class HeldFile {
 public:
  virtual ~HeldFile() = default;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True when anything (a file or a folder) exists at the path.
  virtual bool exists(const Text& path) = 0;
  // Deletes a file; false when it is not there or cannot be deleted (held open
  // by a process that does not share deletion, read-only, no right).
  virtual bool remove(const Text& path) = 0;
  // Creates the file empty (anew, or cut to length 0) and holds it open for
  // reading and writing, shared for reading and writing but not for deletion,
  // so no other process can delete it while it is held. Null on failure.
  virtual std::shared_ptr<HeldFile> createHeld(const Text& path) = 0;
  // Writes the bytes as the file's whole content, so that the file is either
  // the old one or the complete new one: written beside it first, then moved
  // over it. False on failure, the old file left as it was.
  virtual bool writeWholeFile(const Text& path, const ByteBlob& bytes) = 0;
};

// The platform's file system (FileSystemWin32.cpp, FileSystemPosix.cpp).
FileSystem& systemFileSystem();
