#include "../AssertionRecorder.h"
#include "../Fwk_Dbg/CaptureConsumer.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentContainerC.h"
#include "Fwk_Tsk/FWK_TSK_SysComponentVisitorI.h"
#include "Fwk_Tsk/FWK_TSK_TaskManagerC.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

using namespace FWK::TSK;

namespace {
// Records every life step it is given, as "<name>.<step>".
class RecordingComponent : public SysComponentC {
public:
    RecordingComponent(std::string strName, std::vector<std::string>& rCalls,
                       int32_t lLevel = LEVEL_INIT_AND_START)
        : SysComponentC(lLevel), m_strName(std::move(strName)), m_rCalls(rCalls) {}

    void init(long lArg) override { record("init", lArg), SysComponentC::init(lArg); }
    void start(long lArg) override { record("start", lArg), SysComponentC::start(lArg); }
    void stop(long lArg) override { record("stop", lArg), SysComponentC::stop(lArg); }
    bool waitForStop(long lTimeout) override {
        m_calledAt = std::chrono::steady_clock::now();
        m_lGivenTimeout = lTimeout;
        std::this_thread::sleep_for(m_stopDuration);
        record("waitForStop", 0);
        return m_bStopsInTime;
    }
    void kill(long lArg) override { record("kill", lArg), SysComponentC::kill(lArg); }
    void cleanup(long lArg) override { record("cleanup", lArg), SysComponentC::cleanup(lArg); }

    std::chrono::milliseconds m_stopDuration{0};
    bool m_bStopsInTime = true;
    long m_lGivenTimeout = -2;
    std::chrono::steady_clock::time_point m_calledAt;

private:
    void record(const char* pszStep, long) { m_rCalls.push_back(m_strName + "." + pszStep); }

    std::string m_strName;
    std::vector<std::string>& m_rCalls;
};

class ContainerTest : public testing::Test {
protected:
    void SetUp() override { FWK::DBG::DbgLogMgrC::instance()->removeAllRules(); }
    void TearDown() override { FWK::DBG::DbgLogMgrC::instance()->removeAllRules(); }

    std::vector<std::string> m_calls;
};
} // namespace

TEST_F(ContainerTest, StepsGoUpInOrderOfAdditionAndDownInReverse) {
    SysComponentContainerC container;
    RecordingComponent a("a", m_calls), b("b", m_calls, SysComponentC::LEVEL_INIT),
        c("c", m_calls, SysComponentC::LEVEL_NONE);
    container.add(&a);
    container.add(&b);
    container.add(&c);

    container.init(0);
    EXPECT_EQ(SysComponentC::STATE_INITIALISED, container.state());
    container.start(0);
    EXPECT_EQ(SysComponentC::STATE_STARTED, container.state());
    container.stop(0);
    EXPECT_TRUE(container.waitForStop(-1));
    container.kill(0);
    container.cleanup(0);
    EXPECT_EQ(SysComponentC::STATE_CREATED, container.state());

    const std::vector<std::string> expected{
        "a.init", "b.init",        "a.start",       "c.stop",        "b.stop",
        "a.stop", "c.waitForStop", "b.waitForStop", "a.waitForStop", "c.kill",
        "b.kill", "a.kill",        "c.cleanup",     "b.cleanup",     "a.cleanup"};
    EXPECT_EQ(expected, m_calls);
    EXPECT_EQ(&container, a.container());
}

TEST_F(ContainerTest, StepsAreLoggedWithTypeNames) {
    auto pCapture = CaptureConsumer::add("component-capture");
    FWK::DBG::DbgLogMgrC::instance()->configure("Component", 1, "component-capture", 0, 0, 0,
                                                FWK::DBG::HEADER_NONE);
    SysComponentContainerC container;
    SysComponentC component;
    container.add(&component);
    container.init(0);
    const std::vector<std::string> expected{
        "SysComponentContainerC::init() begin FWK::TSK::SysComponentContainerC\r\n",
        "SysComponentContainerC::init() init component FWK::TSK::SysComponentC\r\n",
        "SysComponentContainerC::init() end FWK::TSK::SysComponentContainerC\r\n"};
    EXPECT_EQ(expected, pCapture->records());
}

TEST_F(ContainerTest, FollowBringsLateComponentsToTheirLevel) {
    SysComponentContainerC container(true);
    container.init(0);
    container.start(0);
    RecordingComponent full("full", m_calls),
        initOnly("initOnly", m_calls, SysComponentC::LEVEL_INIT),
        none("none", m_calls, SysComponentC::LEVEL_NONE);
    container.add(&full);
    container.add(&initOnly);
    container.add(&none);
    EXPECT_EQ((std::vector<std::string>{"full.init", "full.start", "initOnly.init"}), m_calls);
    EXPECT_EQ(SysComponentC::STATE_STARTED, full.state());
    EXPECT_EQ(SysComponentC::STATE_INITIALISED, initOnly.state());

    // An initialised container brings even a full-level component only to init.
    SysComponentContainerC initialised(true);
    initialised.init(0);
    RecordingComponent late("late", m_calls);
    m_calls.clear();
    initialised.add(&late);
    EXPECT_EQ((std::vector<std::string>{"late.init"}), m_calls);

    // Without follow nothing happens on add.
    SysComponentContainerC still;
    still.init(0);
    RecordingComponent idle("idle", m_calls);
    m_calls.clear();
    still.add(&idle);
    EXPECT_TRUE(m_calls.empty());
}

// A component added from another thread while the container comes up is started either by the
// walk or on its addition, never left half-way; the state changes with the walk, under one lock.
TEST_F(ContainerTest, ComponentAddedWhileTheContainerStartsIsStarted) {
    for (int i = 0; i < 300; ++i) {
        SysComponentContainerC container(true);
        SysComponentC component;
        std::thread adder([&] { container.add(&component); });
        container.init(0);
        container.start(0);
        adder.join();
        ASSERT_EQ(SysComponentC::STATE_STARTED, component.state()) << "round " << i;
    }
}

TEST_F(ContainerTest, AddingDuringAWalkOrAddingNullIsReportedAndIgnored) {
    AssertionRecorder recorder;
    SysComponentContainerC container;
    SysComponentC first, intruder;
    container.add(&first);

    struct AddingVisitor : SysComponentVisitorI {
        SysComponentContainerC* pContainer;
        SysComponentC* pIntruder;
        int iVisits = 0;
        void visit(SysComponentC*) override {
            ++iVisits;
            pContainer->add(pIntruder);
        }
        void enter(SysComponentContainerC*) override {}
        // The walk is not over until the visitor has left.
        void leave(SysComponentContainerC*) override { pContainer->add(pIntruder); }
    } visitor;
    visitor.pContainer = &container;
    visitor.pIntruder = &intruder;
    container.accept(visitor);
    EXPECT_EQ(1, visitor.iVisits);
    EXPECT_EQ(1, container.count());
    EXPECT_EQ(nullptr, intruder.container());

    container.add(nullptr);
    container.insertBefore(nullptr, &intruder);
    container.insertAfter(&first, nullptr);
    EXPECT_EQ(1, container.count());
    EXPECT_EQ((std::vector<std::string>{"!\"Container is traversing at the moment, add\"",
                                        "!\"Container is traversing at the moment, add\"",
                                        "!\"component pointer is null\"",
                                        "!\"component pointer is null\"",
                                        "!\"component pointer is null\""}),
              recorder.expressions());
    EXPECT_EQ((std::vector<std::string>{
                  "Fwk_Tsk\\FWK_TSK_SysTask(1479)", "Fwk_Tsk\\FWK_TSK_SysTask(1479)",
                  "Fwk_Tsk\\FWK_TSK_SysTask(1485)", "Fwk_Tsk\\FWK_TSK_SysTask(1511)",
                  "Fwk_Tsk\\FWK_TSK_SysTask(1537)"}),
              recorder.sites());

    // After the walk the same component is accepted, and positions are honoured.
    SysComponentC between;
    container.add(&intruder);
    container.insertAfter(&first, &between);
    EXPECT_EQ(&between, container.next(&first));
    EXPECT_EQ(&intruder, container.last());
}

TEST_F(ContainerTest, NestedContainersAreVisitedDepthFirst) {
    SysComponentContainerC outer, inner;
    SysComponentC a, b;
    outer.add(&a);
    outer.add(&inner);
    inner.add(&b);
    struct TraceVisitor : SysComponentVisitorI {
        std::vector<const void*> trace;
        void visit(SysComponentC* p) override { trace.push_back(p); }
        void enter(SysComponentContainerC* p) override { trace.push_back(p); }
        void leave(SysComponentContainerC* p) override { trace.push_back(p); }
    } visitor;
    outer.accept(visitor);
    EXPECT_EQ((std::vector<const void*>{&outer, &a, &inner, &b, &inner, &outer}), visitor.trace);
}

TEST_F(ContainerTest, WaitForStopSharesOneBudgetAndStopsAtTheFirstLateComponent) {
    auto pCapture = CaptureConsumer::add("stop-capture");
    FWK::DBG::DbgLogMgrC::instance()->configure("Component", 6, "stop-capture", 0, 0, 0,
                                                FWK::DBG::HEADER_NONE);
    SysComponentContainerC container;
    RecordingComponent first("first", m_calls), second("second", m_calls), third("third", m_calls),
        late("late", m_calls);
    for (auto* p : {&first, &second, &third}) {
        p->m_stopDuration = std::chrono::milliseconds(200);
    }
    third.m_bStopsInTime = false;
    container.add(&first); // walked last
    container.add(&late);
    container.add(&second);
    container.add(&third); // walked first
    late.m_stopDuration = std::chrono::milliseconds(200);

    // Each component gets the budget less the time used before it was asked: at least the
    // sleeps of the components before it, at most the time the test saw pass until then.
    std::chrono::steady_clock::time_point start;
    const auto expectShare = [&start](const RecordingComponent& rComponent, int iSleptBefore) {
        const auto used =
            std::chrono::ceil<std::chrono::milliseconds>(rComponent.m_calledAt - start);
        EXPECT_LE(rComponent.m_lGivenTimeout, 700 - 200 * iSleptBefore);
        EXPECT_GE(rComponent.m_lGivenTimeout, std::max(700 - static_cast<long>(used.count()), 0L));
    };
    start = std::chrono::steady_clock::now();
    EXPECT_FALSE(container.waitForStop(700));
    expectShare(third, 0);
    EXPECT_EQ(-2, second.m_lGivenTimeout); // never asked: the walk ended at third
    EXPECT_EQ((std::vector<std::string>{
                  "SysComponentContainerC::waitForStop() waitForStop-timeout (700) for component "
                  "(anonymous namespace)::RecordingComponent\r\n"}),
              pCapture->records());

    third.m_bStopsInTime = true;
    start = std::chrono::steady_clock::now();
    EXPECT_TRUE(container.waitForStop(700));
    expectShare(third, 0);
    expectShare(second, 1);
    expectShare(late, 2);
    expectShare(first, 3);

    // An exhausted budget gives 0, never a negative time; 0 and -1 pass unchanged.
    EXPECT_TRUE(container.waitForStop(300));
    EXPECT_EQ(0, first.m_lGivenTimeout);
    for (auto* p : {&first, &second, &third, &late}) {
        p->m_stopDuration = std::chrono::milliseconds(0);
    }
    EXPECT_TRUE(container.waitForStop(-1));
    EXPECT_EQ(-1, first.m_lGivenTimeout);
    EXPECT_TRUE(container.waitForStop(0));
    EXPECT_EQ(0, second.m_lGivenTimeout);
}

TEST_F(ContainerTest, DestroyedComponentLeavesItsContainer) {
    SysComponentContainerC container;
    {
        SysComponentC shortLived;
        container.add(&shortLived);
        EXPECT_EQ(1, container.count());
    }
    EXPECT_EQ(0, container.count());
}

TEST(TaskManagerTest, CurrentTaskBelongsToTheRegisteringThreadOnly) {
    TaskManagerC& rManager = TaskManagerC::instance();
    EXPECT_EQ(nullptr, rManager.currentTask());
    TaskRecordS task;
    task.m_strName = "worker";
    rManager.registerCurrentThread(&task);
    EXPECT_EQ(&task, rManager.currentTask());
    std::thread([&] { EXPECT_EQ(nullptr, rManager.currentTask()); }).join();
    task.m_threadId = std::thread::id(); // a record whose thread has ended
    EXPECT_EQ(nullptr, rManager.currentTask());
    rManager.registerCurrentThread(nullptr);
    EXPECT_EQ(nullptr, rManager.currentTask());
}

TEST(TaskManagerDeathTest, TerminateEndsTheProcessWithThePanicStatus) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TaskManagerC::instance();
            std::terminate();
        },
        testing::ExitedWithCode(255), "");
}
