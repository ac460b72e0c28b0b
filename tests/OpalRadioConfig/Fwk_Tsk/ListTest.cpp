#include "../AssertionRecorder.h"
#include "../WaitUntil.h"
#include "Fwk_Tsk/FWK_TSK_GuardC.h"
#include "Fwk_Tsk/FWK_TSK_ListC.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace FWK::TSK;
using namespace std::chrono_literals;

namespace {
std::vector<NodeC*> walk(ListC& rList) {
    std::vector<NodeC*> nodes;
    GuardC guard(rList.readLock());
    for (NodeC* p = rList.first(); p != nullptr; p = rList.next(p)) {
        nodes.push_back(p);
    }
    return nodes;
}

std::vector<NodeC*> walkBackwards(ListC& rList) {
    std::vector<NodeC*> nodes;
    GuardC guard(rList.readLock());
    for (NodeC* p = rList.last(); p != nullptr; p = rList.prev(p)) {
        nodes.insert(nodes.begin(), p);
    }
    return nodes;
}
} // namespace

TEST(ListTest, RemovingTheOnlyNodeEmptiesTheList) {
    ListC list;
    NodeC node;
    list.pushBack(&node);
    ASSERT_EQ(1, list.count());
    list.remove(&node);
    EXPECT_EQ(nullptr, list.first());
    EXPECT_EQ(nullptr, list.last());
    EXPECT_EQ(0, list.count());
    EXPECT_EQ(nullptr, node.owner());
    list.remove(&node); // a second removal changes nothing
    EXPECT_EQ(0, list.count());
}

TEST(ListTest, InsertionsKeepOrderInBothDirections) {
    ListC list;
    NodeC a, b, c, d;
    list.pushBack(&b);
    list.insertBefore(&b, &a);
    list.insertAfter(&b, &d);
    list.insertAfter(&b, &c);
    const std::vector<NodeC*> expected{&a, &b, &c, &d};
    EXPECT_EQ(expected, walk(list));
    EXPECT_EQ(expected, walkBackwards(list));
    list.remove(&a);
    list.remove(&d);
    EXPECT_EQ((std::vector<NodeC*>{&b, &c}), walk(list));
    EXPECT_EQ((std::vector<NodeC*>{&b, &c}), walkBackwards(list));
}

TEST(ListTest, ReinsertingIntoTheSameListChangesNothing) {
    ListC list;
    NodeC a, b;
    list.pushBack(&a);
    list.pushBack(&b);
    list.pushBack(&a);
    list.insertBefore(&a, &b);
    list.insertAfter(&b, &a);
    EXPECT_EQ(2, list.count());
    EXPECT_EQ((std::vector<NodeC*>{&a, &b}), walk(list));
}

TEST(ListTest, PositionOutsideTheListIsReportedAndNothingIsInserted) {
    AssertionRecorder recorder;
    ListC list, other;
    NodeC foreign, loose, node;
    other.pushBack(&foreign);
    list.insertBefore(&foreign, &node);
    list.insertAfter(&loose, &node);
    list.insertAfter(nullptr, &node);
    EXPECT_EQ(0, list.count());
    EXPECT_EQ(1, other.count());
    EXPECT_EQ(nullptr, node.owner());
    EXPECT_EQ(3u, recorder.expressions().size());
}

TEST(ListTest, RemovingAnotherListsNodeLeavesBothListsIntact) {
    ListC list, other;
    NodeC mine, theirs;
    list.pushBack(&mine);
    other.pushBack(&theirs);
    list.remove(&theirs);
    EXPECT_EQ(1, list.count());
    EXPECT_EQ(1, other.count());
    EXPECT_EQ(&other, theirs.owner());
}

TEST(ListTest, NodesLeaveOnDestructionAndOutliveTheirList) {
    ListC list;
    NodeC a;
    {
        NodeC b;
        list.pushBack(&a);
        list.pushBack(&b);
    }
    EXPECT_EQ(1, list.count());
    EXPECT_EQ((std::vector<NodeC*>{&a}), walk(list));
    NodeC survivor;
    {
        ListC shortLived;
        survivor.insertInto(shortLived);
        EXPECT_EQ(&shortLived, survivor.owner());
    }
    EXPECT_EQ(nullptr, survivor.owner());
    survivor.removeFromList(); // nothing to do, must not touch the dead list
}

namespace {
// Prints where a panic was reported, for the dying process's standard error.
class PanicSitePrinter : public AssertionRecorder {
public:
    void panic(const char*, long lType, unsigned long, unsigned long, const char* pszFile,
               int iLine) override {
        std::fprintf(stderr, "panic 0x%lx at %s(%d)\n", lType, pszFile, iLine);
        std::fflush(stderr);
    }
};

enum class InsertionT { PushBack, InsertBefore, InsertAfter };

void insertIntoSecondList(InsertionT insertion) {
    PanicSitePrinter printer;
    ListC first, second;
    NodeC node, position;
    first.pushBack(&node);
    second.pushBack(&position);
    switch (insertion) {
    case InsertionT::PushBack:
        second.pushBack(&node);
        break;
    case InsertionT::InsertBefore:
        second.insertBefore(&position, &node);
        break;
    case InsertionT::InsertAfter:
        second.insertAfter(&position, &node);
        break;
    }
}
} // namespace

TEST(ListDeathTest, NodeInTwoListsEndsTheProcessNamingTheInsertion) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(insertIntoSecondList(InsertionT::PushBack), testing::ExitedWithCode(255),
                R"(panic 0x1200001 at Fwk_Tsk\\FWK_TSK_Mutex\(458\))");
    EXPECT_EXIT(insertIntoSecondList(InsertionT::InsertBefore), testing::ExitedWithCode(255),
                R"(panic 0x1200001 at Fwk_Tsk\\FWK_TSK_Mutex\(501\))");
    EXPECT_EXIT(insertIntoSecondList(InsertionT::InsertAfter), testing::ExitedWithCode(255),
                R"(panic 0x1200001 at Fwk_Tsk\\FWK_TSK_Mutex\(544\))");
}

TEST(ListTest, WalkRemovesCurrentNodeWhileAnotherThreadWaitsInPushBack) {
    ListC list;
    NodeC a, b, c, late;
    list.pushBack(&a);
    list.pushBack(&b);
    list.pushBack(&c);

    std::atomic<bool> bPushed{false};
    list.readLock().lock();
    std::thread pusher([&] {
        list.pushBack(&late);
        bPushed = true;
    });
    std::this_thread::sleep_for(100ms);
    ASSERT_FALSE(bPushed); // blocked behind the walk

    std::vector<NodeC*> seen;
    for (NodeC* p = list.first(); p != nullptr;) {
        NodeC* pNext = list.next(p);
        seen.push_back(p);
        if (p == &b) {
            list.removeWhileReading(p);
        }
        p = pNext;
    }
    EXPECT_EQ((std::vector<NodeC*>{&a, &b, &c}), seen);
    EXPECT_FALSE(bPushed);
    list.readLock().unlock();
    pusher.join();
    EXPECT_EQ((std::vector<NodeC*>{&a, &c, &late}), walk(list));
}

TEST(ListTest, RemoveWhileReadingWithOtherReadersPresentKeepsTheListConsistent) {
    ListC list;
    std::vector<NodeC> nodes(200);
    for (auto& rNode : nodes) {
        list.pushBack(&rNode);
    }
    // Two overlapping walkers remove nodes of their own parity while a writer keeps inserting
    // and removing. A walker may lose its place when the other removes its next node; the
    // list itself must stay consistent.
    std::atomic<bool> bStop{false};
    std::atomic<int> walkersInside{0};
    NodeC churn;
    std::thread writer([&] {
        while (!bStop) {
            list.pushBack(&churn);
            list.remove(&churn);
        }
    });
    auto walker = [&](size_t unParity) {
        GuardC guard(list.readLock());
        ++walkersInside;
        if (!waitUntil([&] { return walkersInside >= 2; })) {
            ADD_FAILURE() << "the two walkers were never inside together";
            return;
        }
        for (NodeC* p = list.first(); p != nullptr;) {
            NodeC* pNext = list.next(p);
            if (p != &churn && static_cast<size_t>(p - nodes.data()) % 2 == unParity) {
                list.removeWhileReading(p);
            }
            p = pNext;
        }
    };
    std::thread w1(walker, 0), w2(walker, 1);
    w1.join();
    w2.join();
    bStop = true;
    writer.join();

    size_t unStillIn = 0;
    for (auto& rNode : nodes) {
        unStillIn += rNode.owner() == &list ? 1 : 0;
    }
    EXPECT_LT(unStillIn, nodes.size());
    EXPECT_EQ(static_cast<int>(unStillIn), list.count());
    EXPECT_EQ(unStillIn, walk(list).size());
    EXPECT_EQ(walk(list), walkBackwards(list));
}
