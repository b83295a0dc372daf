#include "transfer/TransferLog.h"

Q_LOGGING_CATEGORY(lcTransfer, "vlm.transfer")
