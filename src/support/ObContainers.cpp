#include "support/ObContainers.h"

IMPLEMENT_SERIAL(CObArrayX, CObArray, 0)
IMPLEMENT_SERIAL(CObListX, CObList, 0)

CObArrayX::~CObArrayX() {
    DeleteAll();
}

void CObArrayX::DeleteAll() {
    while (GetUpperBound() >= 0) {
        CObject* o = GetAt(GetUpperBound());
        RemoveAt(GetUpperBound());
        delete o;
    }
}

CObListX::~CObListX() {
    DeleteAll();
}

void CObListX::DeleteAll() {
    while (!IsEmpty())
        delete RemoveTail();
}

CArchive& operator>>(CArchive& ar, CObArrayX*& p) {
    p = static_cast<CObArrayX*>(ar.ReadObject(RUNTIME_CLASS(CObArrayX)));
    return ar;
}

CArchive& operator>>(CArchive& ar, CObListX*& p) {
    p = static_cast<CObListX*>(ar.ReadObject(RUNTIME_CLASS(CObListX)));
    return ar;
}
