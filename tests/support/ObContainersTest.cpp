#include "support/ObContainers.h"

#include <gtest/gtest.h>

namespace {
struct Counted : CObject {
    explicit Counted(std::vector<int>* log, int id) : log(log), id(id) {}
    ~Counted() override { log->push_back(id); }
    std::vector<int>* log;
    int id;
};
} // namespace

TEST(ObContainers, DeleteAllOrderNullsAndRefill) {
    std::vector<int> log;
    CObArrayX a;
    a.Add(new Counted(&log, 1));
    a.Add(nullptr);
    a.Add(new Counted(&log, 2));
    a.DeleteAll();
    EXPECT_EQ(log, (std::vector<int>{2, 1}));
    EXPECT_EQ(a.GetSize(), 0);
    a.Add(new Counted(&log, 3));
    {
        CObListX l;
        l.AddTail(new Counted(&log, 4));
        l.AddTail(nullptr);
        l.AddTail(new Counted(&log, 5));
    }
    EXPECT_EQ(log, (std::vector<int>{2, 1, 5, 4}));
    CObject* taken = a.GetAt(0);
    a.RemoveAt(0); // ownership passes to the caller
    delete taken;
    EXPECT_EQ(log.back(), 3);
}

TEST(ObContainers, ExtractionRequiresTheClass) {
    CObListX l;
    CArchive out;
    out << static_cast<CObject*>(&l);
    CArchive in(out.Data().data(), out.Data().size());
    CObArrayX* p = nullptr;
    EXPECT_THROW(in >> p, CArchiveException);
    CArchive in2(out.Data().data(), out.Data().size());
    CObListX* q = nullptr;
    in2 >> q;
    ASSERT_NE(q, nullptr);
    EXPECT_TRUE(q->IsEmpty());
    delete q;
}

TEST(ObList, PositionsInsertFindRemove) {
    CObList l;
    CObject a, b, c;
    POSITION pb = l.AddTail(&b);
    l.AddHead(&a);
    l.InsertAfter(pb, &c);
    EXPECT_EQ(l.GetCount(), 3);
    std::vector<CObject*> seen;
    for (POSITION p = l.GetHeadPosition(); p;)
        seen.push_back(l.GetNext(p));
    EXPECT_EQ(seen, (std::vector<CObject*>{&a, &b, &c}));
    EXPECT_EQ(l.Find(&c), l.GetTailPosition());
    EXPECT_EQ(l.FindIndex(1), pb);
    EXPECT_EQ(l.FindIndex(3), nullptr);
    l.RemoveAt(pb);
    EXPECT_EQ(l.GetHead(), &a);
    EXPECT_EQ(l.RemoveTail(), &c);
    EXPECT_EQ(l.RemoveHead(), &a);
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_THROW(l.GetHead(), std::out_of_range);

    CObArray arr;
    arr.InsertAt(2, &a); // grows with nulls
    EXPECT_EQ(std::pair(arr.GetSize(), arr.GetUpperBound()), std::pair(3, 2));
    EXPECT_EQ(arr[0], nullptr);
    EXPECT_THROW(arr.GetAt(3), std::out_of_range);
}
