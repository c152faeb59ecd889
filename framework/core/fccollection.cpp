#include "fccollection.h"

__FCCollection::~__FCCollection() {
  _FreeElements();
  delete[] _ppItems;
  _ppItems = nullptr;
  _capacity = 0;
  _count = 0;
}

void __FCCollection::_RequireElement(int extra) {
  if (extra <= 0) return;
  int needed = _count + extra;
  if (_capacity >= needed) return;
  int capacity = ((needed + 10) / 10) * 10;
  __FCBase** items = new __FCBase*[capacity];
  for (int i = 0; i < capacity; ++i)
    items[i] = i < _count ? _ppItems[i] : nullptr;
  delete[] _ppItems;
  _ppItems = items;
  _capacity = capacity;
}

void __FCCollection::_FreeElements() {
  for (int i = 0; i < _count; ++i) {
    delete _ppItems[i];
    _ppItems[i] = nullptr;
  }
}

void __FCCollection::InsertItemAt(__FCBase* object, int index) {
  if (index >= _count) {
    Add(object);
    return;
  }
  if (index < 0) index = 0; // a negative place would write before the array
  _RequireElement(1);
  for (int i = _count; i > index; --i)
    _ppItems[i] = _ppItems[i - 1];
  _ppItems[index] = object;
  ++_count;
}

int __FCCollection::GetIndexOf(__FCBase* object) const {
  for (int i = 0; i < _count; ++i)
    if (_ppItems[i] == object) return i;
  return -1;
}

bool __FCCollection::ElementExists(__FCBase* object) const {
  return GetIndexOf(object) >= 0;
}

bool __FCCollection::DetachItemAt(int index) {
  if (index < 0 || index >= _count) return false;
  for (int i = index; i < _count - 1; ++i)
    _ppItems[i] = _ppItems[i + 1];
  _ppItems[--_count] = nullptr;
  return true;
}

bool __FCCollection::ClearItemAt(int index) {
  if (index < 0 || index >= _count) return false;
  delete _ppItems[index];
  _ppItems[index] = nullptr;
  return DetachItemAt(index);
}

void __FCCollection::_MoveElementsTo(__FCCollection* spares) {
  spares->_RequireElement(_count);
  for (int i = 0; i < _count; ++i) {
    spares->_ppItems[spares->_count++] = _ppItems[i];
    _ppItems[i] = nullptr;
  }
  _count = 0;
}

__FCBase* __FCCollection::_DetachLast() {
  if (_count == 0) return nullptr;
  __FCBase* element = _ppItems[--_count];
  _ppItems[_count] = nullptr;
  return element;
}

__FCBase* __FCCollection::FindUserData(void* data) const {
  for (int i = 0; i < _count; ++i)
    if (_ppItems[i] && _ppItems[i]->GetUserData() == data) return _ppItems[i];
  return nullptr;
}

int __FCCollection::ForEach(FCIteratorHandler* handler) {
  return ToEndFrom(0, handler);
}

int __FCCollection::ToEndFrom(int start, FCIteratorHandler* handler) {
  int visited = 0;
  if (!handler || start < 0) return 0;
  // The count is read again after each visit: elements a visit adds are visited too.
  for (int i = start; i < _count; ++i) {
    __FCBase* element = _ppItems[i];
    if (!element) continue;
    if (!handler->Iterate(element)) break;
    ++visited;
  }
  return visited;
}

int __FCCollection::ForEachIndex(FCIteratorHandler* handler) {
  int visited = 0;
  if (!handler) return 0;
  for (int i = 0; i < _count; ++i) {
    __FCBase* element = _ppItems[i];
    if (!element) continue;
    if (!handler->IterateIndex(element, i)) break;
    ++visited;
  }
  return visited;
}

__FCBase* __FCCollection::FindFirst(FCIteratorHandler* handler) {
  if (!handler) return nullptr;
  for (int i = 0; i < _count; ++i) {
    __FCBase* element = _ppItems[i];
    if (element && handler->Match(element)) return element;
  }
  return nullptr;
}

bool __FCCollection::Sort(FCIteratorHandler* handler) {
  bool exchanged = false;
  if (!handler) return false;
  for (int i = 0; i < _count - 1; ++i) {
    for (int j = i + 1; j < _count; ++j) {
      __FCBase* a = _ppItems[i];
      __FCBase* b = _ppItems[j];
      if (!a || !b) continue;
      if (handler->Compare(a, b) > 0) {
        _ppItems[i] = b;
        _ppItems[j] = a;
        exchanged = true;
      }
    }
  }
  return exchanged;
}
