// Host-facing scalar types. Fixed widths: the host's records and call slots are 32-bit
// Windows layouts, and the native 64-bit build must keep every width but a pointer's.
#pragma once
#include <cstdint>
#include <windows.h>

typedef int16_t twobyte;
typedef uint16_t utwobyte;
typedef int32_t fourbyte;
typedef uint32_t ufourbyte;
typedef uint32_t EVERSION; // interface version word, last argument of every host call
typedef uint32_t EXTAG;    // four characters, most significant byte first
typedef uint16_t FLAG_16;
typedef uint32_t FLAG_32;
typedef uint16_t CMPER; // item number of a record

// The interface revision every call of this plug-in states (record transfers excepted).
const EVERSION FINALEVERSION = 0x0F000200;

#define MAKEEXTAG(a, b, c, d)                                                                      \
  ((EXTAG)(((uint32_t)(uint8_t)(a) << 24) | ((uint32_t)(uint8_t)(b) << 16) |                       \
           ((uint32_t)(uint8_t)(c) << 8) | (uint32_t)(uint8_t)(d)))

struct EREGION;
struct EXTGF2005a;
struct EXENTRY;
