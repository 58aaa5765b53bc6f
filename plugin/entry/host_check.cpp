#include <algorithm>
#include <iterator>

#include "plugin/entry/menu_cycle.h"
#include "toolbox/core/errors.h"
#include "toolbox/processes/processes.h"

const OSType kExcludedHosts[4] = {'MSWD', 'XCEL', 'PPT3', 'OPIM'};

Boolean IsHostExcluded() {
  ProcessSerialNumber front;
  if (GetFrontProcess(&front) != noErr) return false;

  ProcessInfoRec info = {};
  info.processInfoLength = sizeof info;
  info.processName = nullptr;
  info.processAppSpec = nullptr;
  if (GetProcessInformation(&front, &info) != noErr) return false;

  return std::find(std::begin(kExcludedHosts), std::end(kExcludedHosts), info.processSignature) !=
         std::end(kExcludedHosts);
}
