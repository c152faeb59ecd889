// Owning, ordered collections of framework objects and the visitor that traversals call.
#pragma once
#include "fcbase.h"

class FCIteratorHandler;

// Common base of collections and region browsers: the two traversal operations.
class __FCIteratorBase : public __FCBase {
public:
  virtual int ForEach(FCIteratorHandler* handler) = 0;
  virtual __FCBase* FindFirst(FCIteratorHandler* handler) = 0;
};

// An ordered array of owned __FCBase pointers, grown in steps of ten slots.
class __FCCollection : public __FCIteratorBase {
public:
  __FCCollection() : _count(0), _capacity(0), _ppItems(nullptr) {}
  const char* ClassName() override { return "__FCCollection"; }
  int ForEach(FCIteratorHandler* handler) override;
  __FCBase* FindFirst(FCIteratorHandler* handler) override;
  virtual ~__FCCollection();
  // The collection owns its elements: a copy would delete them twice.
  __FCCollection(const __FCCollection&) = delete;
  __FCCollection& operator=(const __FCCollection&) = delete;
  virtual int ForEachIndex(FCIteratorHandler* handler);

  int GetCount() const { return _count; }
  // Add and GetItemAt are here, inline: every note and entry of a walk passes through them.
  void Add(__FCBase* object) {
    if (_count >= _capacity) _RequireElement(1);
    _ppItems[_count++] = object;
  }
  void InsertItemAt(__FCBase* object, int index);
  __FCBase* GetItemAt(int index) const {
    return index < 0 || index >= _count ? nullptr : _ppItems[index];
  }
  int GetIndexOf(__FCBase* object) const;
  bool ElementExists(__FCBase* object) const;
  bool DetachItemAt(int index);
  bool ClearItemAt(int index);
  __FCBase* FindUserData(void* data) const;
  int ToEndFrom(int start, FCIteratorHandler* handler);
  bool Sort(FCIteratorHandler* handler);

  // Moves every element, in order, to the end of spares, which then owns them; this collection
  // is left empty with its array kept. How views are kept for reuse instead of freed.
  void _MoveElementsTo(__FCCollection* spares);
  // Takes the last element out and hands it to the caller, or null when there is none.
  __FCBase* _DetachLast();

protected:
  void _RequireElement(int extra);
  void _FreeElements(); // deletes the elements; callers set the count to 0 afterwards

  fourbyte _count;     // elements in use
  fourbyte _capacity;  // slots allocated; 0 or a multiple of 10
  __FCBase** _ppItems; // owned array of capacity slots, or null
};

// The visitor handed to every traversal. Iterate answers true to go on.
class FCIteratorHandler : public __FCBase {
public:
  FCIteratorHandler() : _saveAfterIterating(false) {}
  const char* ClassName() override { return "FCIteratorHandler"; }
  virtual bool Iterate(__FCBase*) { return true; }
  virtual bool SecondPassIterate(__FCBase*) { return false; }
  virtual bool IterateIndex(__FCBase*, int) { return true; }
  virtual bool Match(__FCBase*) { return false; }
  virtual int Compare(__FCBase*, __FCBase*) { return 0; }
  virtual bool PreProcess() { return true; }
  virtual bool PreProcessIfExist() { return true; }
  virtual void PostProcess() {}
  virtual void PostProcessIfExist() {}

  bool GetSaveAfterIterating() const { return _saveAfterIterating; }
  void SetSaveAfterIterating(bool state) { _saveAfterIterating = state; }

private:
  bool _saveAfterIterating; // browsers that load records save them back after the visits
};
