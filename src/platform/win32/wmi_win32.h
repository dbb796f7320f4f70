// The WMI listing through the native interfaces behind the scripting
// moniker: IWbemLocator, ConnectServer, then one WQL query whose objects
// are fetched in batches.
#pragma once

#include <windows.h>
// after windows.h
#include <wbemidl.h>
#include <wrl/client.h>

#include <memory>

#include "platform/window_system.h"

namespace vindrel::win32 {

// A connection to root\cimv2, joining the calling thread to the
// multithreaded apartment for as long as it lives.
std::unique_ptr<WmiConnection> OpenWmiConnection();

// The objects of one query, fetched a batch at a time until WMI says there
// are no more.
std::unique_ptr<WmiCollection> WbemCollection(Microsoft::WRL::ComPtr<IEnumWbemClassObject> objects);

}  // namespace vindrel::win32
