#include "platform/qt/logging.h"

Q_LOGGING_CATEGORY(lcGlimmerbox, "glimmerbox", QtWarningMsg)
