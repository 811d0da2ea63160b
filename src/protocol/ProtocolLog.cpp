#include "protocol/ProtocolLog.h"

Q_LOGGING_CATEGORY(lcProtocol, "plumoxa.protocol", QtInfoMsg)
