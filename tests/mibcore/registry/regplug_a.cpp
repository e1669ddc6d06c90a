#include "RegPlug.h"

static RegPlugDescriptor g_udp(6, "UDP情報", "udp.ini");
static RegPlugDescriptor g_ip(3.5, "IP情報", "ip.ini");
