#include "IPWatchOnline.h"

#include "SocketStackLinux.h"

IPWatchOnline::IPWatchOnline() : watch_(MakeLinuxSocketStack, dispatcher_) {
    watch_.SetHistoryEnabled(false);
    watch_.SetHistoryFilename("iphist.dat");
    watch_.SetActive(true);
}
