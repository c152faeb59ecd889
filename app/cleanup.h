// What the command leaves behind when it is interrupted: nothing. Files and folders in the
// making are noted here, and a SIGINT, SIGTERM or SIGHUP removes them (and passes the signal
// on to the worker processes of a run over many files) before the process ends by the same
// signal, so that its caller sees the interruption as such.
#pragma once
#include <sys/types.h>

#include <string>

// Installs the handlers; once per process.
void RemoveOnInterrupt();

// Notes a file (or an empty folder) to remove on an interruption; answers a handle for
// Forget. Signals are held off meanwhile, so a note is never half made. -1 when every place
// is taken or the path is too long (the caller then goes on without the protection).
int Remember(const std::string& path, bool folder = false);
void Forget(int handle);

// A temporary file made and noted in one step: mkstemp's template in, its descriptor out
// (-1 on failure, errno set). The path is noted before any signal can come between.
int MakeNotedTemporary(std::string* templatePath, int* handle);

// Renames a noted temporary file over its target and forgets it, with signals held off, so
// that an interruption finds either the temporary file or the finished target.
int RenameNoted(const std::string& from, const std::string& to, int handle);

// A worker process, forked with the signals held off: the parent passes its signals on to
// it, and the worker starts with nothing noted (what its parent noted is the parent's to
// remove) and no workers of its own. Answers as fork does.
pid_t ForkWorker();
void ForgetWorker(pid_t pid);
