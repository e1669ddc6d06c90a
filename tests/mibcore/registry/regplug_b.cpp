#include "RegPlug.h"

static RegPlugDescriptor g_cisco(101, "CISCO情報", "cisco.ini");
static RegPlugDescriptor g_tree(1, "MIBツリー", "mibtree.ini");
