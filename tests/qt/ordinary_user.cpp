#include "tests/qt/ordinary_user.h"

#include <sys/wait.h>
#include <unistd.h>

namespace gb::test {

bool holdsForAnOrdinaryUser(const std::function<bool()>& check) {
    if (::getuid() != 0) return check();
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) {
        const bool dropped = ::setgid(65534) == 0 && ::setuid(65534) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace gb::test
