// Descriptor types shared by Carbon event parameters and Apple event descriptors.
#pragma once

#include "toolbox/core/types.h"

enum : DescType {
  typeWildCard = '****',
  typeBoolean = 'bool',
  typeChar = 'TEXT',
  typeSInt16 = 'shor',
  typeSInt32 = 'long',
  typeLongInteger = 'long',
  typeUInt32 = 'magn',
  typeSInt64 = 'comp',
  typeIEEE64BitFloatingPoint = 'doub',
  typeType = 'type',
  typeQDPoint = 'QDpt',
  typeQDRectangle = 'qdrt',
  typeCFStringRef = 'cfst',
  typeCFMutableArrayRef = 'cfma',
  typeCFTypeRef = 'cfty',
};
