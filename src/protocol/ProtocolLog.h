#pragma once

#include <QLoggingCategory>

// Trace lines of the protocol: requests, replies and their scanning.
Q_DECLARE_LOGGING_CATEGORY(lcProtocol)
