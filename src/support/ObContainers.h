// Owning, archivable object containers: they delete the objects they hold.
#pragma once
#include "platform/ObArray.h"

class CObArrayX : public CObArray {
    DECLARE_SERIAL(CObArrayX)
  public:
    CObArrayX() = default;
    ~CObArrayX() override;
    // Removes and deletes every element, last index first.
    void DeleteAll();

  protected:
    CArchive::Hold ElementHold() const override { return CArchive::Hold::Owned; }
    void ClearForLoad() override { DeleteAll(); }
};

class CObListX : public CObList {
    DECLARE_SERIAL(CObListX)
  public:
    explicit CObListX(int blockSize = 10) : CObList(blockSize) {}
    ~CObListX() override;
    // Removes and deletes every element, tail first.
    void DeleteAll();

  protected:
    CArchive::Hold ElementHold() const override { return CArchive::Hold::Owned; }
    void ClearForLoad() override { DeleteAll(); }
};

// Reads one object that must be of the container's class (throws CArchiveException).
CArchive& operator>>(CArchive& ar, CObArrayX*& p);
CArchive& operator>>(CArchive& ar, CObListX*& p);
