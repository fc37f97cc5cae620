// The instance channel over the mailslot.
#include "app/instance_channel.h"

const char kMailslotName[] = "\\\\.\\mailslot\\pellaro";

bool InstanceChannel::Create() { return false; }

bool InstanceChannel::Receive(std::string&) { return false; }

bool InstanceChannel::Send(std::string) { return false; }
