// What the command leaves behind when it is interrupted: nothing. Files and folders in the
// making are noted here, and every signal that would end the process and can be caught
// (Ctrl-C, a kill, a closed terminal or pipe, an abort, ...) removes them (and passes the
// signal on to the worker processes of a run over many files) before the process ends by the
// same signal, so that its caller sees the interruption as such. The file-size limit is
// ignored instead: the write that passes it fails, and the command says so. What a run killed
// outright (SIGKILL) leaves is recognised by the process id in its name and removed by the
// next run that writes in that folder.
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
// that an interruption finds either the temporary file or the finished target. With
// noReplace, an existing target is kept and the rename fails (EEXIST).
int RenameNoted(const std::string& from, const std::string& to, int handle, bool noReplace = false);

// The start of the name of this process's temporary files and folders: "PREFIX.PID.", to be
// followed by mkstemp's XXXXXX. What another process of ours left (PREFIX.PID. with that
// process gone) is removed by RemoveDeadStrays, once a folder and a process.
std::string StrayPrefix(const std::string& prefix);
void RemoveDeadStrays(const std::string& folder, const std::string& prefix);

// The most workers that are recorded, and so are never left running by an interruption.
const int kMaxWorkers = 1024;

// A worker process, forked with the signals held off: the parent passes its signals on to
// it, and the worker starts with nothing noted (what its parent noted is the parent's to
// remove) and no workers of its own. Answers as fork does; -1 (EAGAIN) when kMaxWorkers run,
// -1 (EINTR) once an interruption is waiting.
pid_t ForkWorker();
void ForgetWorker(pid_t pid);

// With many files, Ctrl-C and SIGTERM are passed on to the workers at once, but the process
// ends only when the caller calls EndByInterrupt, so that it can say what was finished; a
// second one ends it at once. PendingInterrupt answers the signal waiting, or 0.
void DeferInterrupts();
int PendingInterrupt();
[[noreturn]] void EndByInterrupt();
