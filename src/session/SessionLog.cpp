#include "session/SessionLog.h"

Q_LOGGING_CATEGORY(lcSession, "plumoxa.session")
