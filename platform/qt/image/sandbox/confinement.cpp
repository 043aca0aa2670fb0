// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt/image/sandbox/confinement.h"

#include <QBuffer>
#include <QColorSpace>
#include <QImage>
#include <QImageReader>

#include <fcntl.h>
#include <linux/sched.h>
#include <seccomp.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

namespace gb::sandbox {

namespace {
#if defined(__SANITIZE_ADDRESS__)
constexpr bool sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool sanitized = true;
#else
constexpr bool sanitized = false;
#endif
#else
constexpr bool sanitized = false;
#endif

std::int64_t statusKilobytes(const std::string& line, const char* key) {
    const std::string prefix = std::string(key) + ":";
    if (line.compare(0, prefix.size(), prefix) != 0) return -1;
    return std::stoll(line.substr(prefix.size()));
}
}  // namespace

Footprint footprint() {
    Footprint f;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (const auto kb = statusKilobytes(line, "VmData"); kb >= 0) f.data = kb * 1024;
        if (const auto kb = statusKilobytes(line, "VmSize"); kb >= 0) f.addressSpace = kb * 1024;
    }
    return f;
}

void loadDecoders() {
    // A reader made for each format loads its plugin; a picture of each decoded once touches the rest (colour
    // conversion, smooth scaling) while files may still be opened.
    for (const QByteArray& format : QImageReader::supportedImageFormats()) {
        QBuffer empty;
        empty.open(QIODevice::ReadOnly);
        QImageReader reader(&empty, format);
        (void)reader.canRead();
    }
    QImage sample(64, 64, QImage::Format_RGB32);
    sample.fill(Qt::gray);
    sample.setColorSpace(QColorSpace(QColorSpace::DisplayP3));
    sample.convertToColorSpace(QColorSpace::SRgb);
    (void)sample.scaled(17, 17, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    for (const char* format : {"png", "jpeg", "bmp", "gif"}) {
        QBuffer out;
        out.open(QIODevice::WriteOnly);
        if (!sample.save(&out, format)) continue;
        out.close();
        out.open(QIODevice::ReadOnly);
        QImageReader reader(&out, format);
        reader.setScaledSize({8, 8});
        (void)reader.read();
    }
}

bool dieWithParent(pid_t parent) {
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    return ::getppid() == parent;
}

void capMemory(const Footprint& base, std::int64_t granted) {
    ::rlimit none{0, 0};
    ::setrlimit(RLIMIT_CORE, &none);
    if (sanitized) return;
    const auto cap = [](__rlimit_resource resource, std::int64_t soft, std::int64_t hard) {
        const ::rlimit limit{static_cast<rlim_t>(soft), static_cast<rlim_t>(hard)};
        ::setrlimit(resource, &limit);
    };
    cap(RLIMIT_DATA, base.data + granted + slackBytes, base.data + mostGranted + slackBytes);
    cap(RLIMIT_AS, base.addressSpace + 2 * granted + addressSlackBytes,
        base.addressSpace + 2 * mostGranted + addressSlackBytes);
}

namespace {
void tellForbidden(int, siginfo_t* info, void*) {
    char text[64];
    const int length =
        std::snprintf(text, sizeof(text), "glimmerbox-decoder: forbidden system call %d\n", info->si_syscall);
    if (length > 0 && ::write(2, text, static_cast<std::size_t>(length)) < 0) ::_exit(128 + SIGSYS);
    ::_exit(128 + SIGSYS);
}

int allow(scmp_filter_ctx filter, int call) { return seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0); }
}  // namespace

bool confine(bool trace) {
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0) return false;
    ::prctl(PR_SET_DUMPABLE, 0);
    if (trace) {
        struct sigaction action {};
        action.sa_sigaction = tellForbidden;
        action.sa_flags = SA_SIGINFO;
        ::sigaction(SIGSYS, &action, nullptr);
    }
    scmp_filter_ctx filter = seccomp_init(trace ? SCMP_ACT_TRAP : SCMP_ACT_KILL_PROCESS);
    if (!filter) return false;
    int failed = 0;
    // Reading the picture and talking to the viewer, on the descriptors the helper was handed.
    for (int call : {SCMP_SYS(read), SCMP_SYS(readv), SCMP_SYS(pread64), SCMP_SYS(lseek), SCMP_SYS(write),
                     SCMP_SYS(writev), SCMP_SYS(recvmsg), SCMP_SYS(sendmsg), SCMP_SYS(close), SCMP_SYS(fstat),
                     SCMP_SYS(newfstatat), SCMP_SYS(statx), SCMP_SYS(fcntl)})
        failed |= allow(filter, call);
    // Memory: the heap, mappings (never executable ones), the pixels handed over in sealed memory.
    for (int call : {SCMP_SYS(brk), SCMP_SYS(munmap), SCMP_SYS(mremap), SCMP_SYS(madvise), SCMP_SYS(memfd_create),
                     SCMP_SYS(ftruncate)})
        failed |= allow(filter, call);
    for (int call : {SCMP_SYS(mmap), SCMP_SYS(mprotect)})
        failed |= seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 1, SCMP_A2(SCMP_CMP_MASKED_EQ, PROT_EXEC, 0));
    // Threads (Qt scales and converts large pictures on several), their locks, wake-ups, signals and clocks.
    failed |= seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(clone), 1,
                               SCMP_A0(SCMP_CMP_MASKED_EQ, CLONE_THREAD, CLONE_THREAD));
    // clone3's flags are out of the filter's reach: the C library falls back to clone.
    failed |= seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOSYS), SCMP_SYS(clone3), 0);
    for (int call : {SCMP_SYS(futex),          SCMP_SYS(set_robust_list),
                     SCMP_SYS(rseq),           SCMP_SYS(sched_getaffinity),
                     SCMP_SYS(sched_yield),    SCMP_SYS(gettid),
                     SCMP_SYS(getpid),         SCMP_SYS(rt_sigaction),
                     SCMP_SYS(rt_sigprocmask), SCMP_SYS(rt_sigreturn),
                     SCMP_SYS(sigaltstack),    SCMP_SYS(clock_gettime),
                     SCMP_SYS(clock_getres),   SCMP_SYS(clock_nanosleep),
                     SCMP_SYS(nanosleep),      SCMP_SYS(gettimeofday),
                     SCMP_SYS(getrandom),      SCMP_SYS(restart_syscall),
                     SCMP_SYS(exit),           SCMP_SYS(exit_group),
                     SCMP_SYS(eventfd2),       SCMP_SYS(poll),
                     SCMP_SYS(ppoll)})
        failed |= allow(filter, call);
    // abort() signals the process itself; a thread names itself.
    failed |= seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(tgkill), 1,
                               SCMP_A0(SCMP_CMP_EQ, static_cast<scmp_datum_t>(::getpid())));
    failed |= seccomp_rule_add(filter, SCMP_ACT_ALLOW, SCMP_SYS(prctl), 1, SCMP_A0(SCMP_CMP_EQ, PR_SET_NAME));
    // Asking whether a descriptor is a terminal gets "no".
    failed |= seccomp_rule_add(filter, SCMP_ACT_ERRNO(ENOTTY), SCMP_SYS(ioctl), 0);
    // The address sanitizer's runtime checks whether memory can be read by writing it into a pipe of its own.
    if (sanitized) failed |= allow(filter, SCMP_SYS(pipe2));
    if (failed == 0) failed = seccomp_load(filter);
    seccomp_release(filter);
    return failed == 0;
}

}  // namespace gb::sandbox
