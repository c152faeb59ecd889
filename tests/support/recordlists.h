// Data collections the plug-in itself never makes: every staff record and every measure record
// of the document, in the host's order, each walked with "first" and "next".
#pragma once
#include "data/fcbasedata.h"
#include "data/fcmeasure.h"
#include "data/fcstaff.h"

class StaffList : public __FCCollectionData {
public:
  __FCBaseData* CreateElement() override { return new FCStaff(); }
};

class MeasureList : public __FCCollectionData {
public:
  __FCBaseData* CreateElement() override { return new FCMeasure(); }
};
