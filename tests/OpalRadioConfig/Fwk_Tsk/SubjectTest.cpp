#include "../AssertionRecorder.h"
#include "Fwk_Tsk/FWK_TSK_GroupObserverI.h"
#include "Fwk_Tsk/FWK_TSK_GroupableObserverI.h"
#include "Fwk_Tsk/FWK_TSK_ObserverC.h"
#include "Fwk_Tsk/FWK_TSK_SubjectC.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

using namespace FWK::TSK;

namespace {
class SynchronObserver : public ObserverC {
public:
    bool isSynchron() const override { return true; }
};

class MemberGroup : public GroupObserverI {
public:
    explicit MemberGroup(int& rLiving) : m_rLiving(rLiving) { ++m_rLiving; }
    ~MemberGroup() override { --m_rLiving; }
    void add(ObserverC* pObserver) override { m_members.push_back(pObserver); }
    void remove(ObserverC* pObserver, bool& rbBecameEmpty) override {
        m_members.erase(std::remove(m_members.begin(), m_members.end(), pObserver),
                        m_members.end());
        rbBecameEmpty = m_members.empty();
    }

    std::vector<ObserverC*> m_members;

private:
    int& m_rLiving;
};

// Members share one group per subject; the subject owns and deletes the group.
class Member : public ObserverC, public GroupableObserverI {
public:
    Member(std::map<SubjectC*, MemberGroup*>& rGroups, int& rLiving)
        : m_rGroups(rGroups), m_rLiving(rLiving) {}
    GroupObserverI* group(SubjectC* pSubject, bool bCreate) override {
        MemberGroup*& rpGroup = m_rGroups[pSubject];
        if (rpGroup == nullptr && bCreate) {
            rpGroup = new MemberGroup(m_rLiving);
        }
        return rpGroup;
    }

private:
    std::map<SubjectC*, MemberGroup*>& m_rGroups;
    int& m_rLiving;
};
} // namespace

TEST(SubjectTest, MisuseIsReportedAndASynchronObserverIsStillAttached) {
    AssertionRecorder recorder;
    SubjectC subject, other;
    SynchronObserver observer;
    subject.attach(nullptr);
    subject.detach(nullptr);
    subject.attach(&observer);
    EXPECT_TRUE(subject.isAttached(&observer));
    EXPECT_EQ(&subject, observer.subject());
    subject.attach(&observer); // a second attach changes nothing and is no misuse
    EXPECT_EQ(1u, subject.attachedCount());
    other.attach(&observer);
    EXPECT_EQ(&other, observer.subject());
    other.detach(&observer);
    subject.detach(&observer);
    EXPECT_EQ(nullptr, observer.subject());
    EXPECT_EQ(0u, subject.attachedCount());
    SubjectC allowing(SubjectC::SP_SynchronObserverAllowed);
    allowing.attach(&observer);
    allowing.detach(&observer);

    const std::vector<std::string> expressions{
        "false",
        "false",
        "(m_ulSubjectPropertyFlags & SP_SynchronObserverAllowed) > 0 || !pObserver->isSynchron()",
        "(m_ulSubjectPropertyFlags & SP_SynchronObserverAllowed) > 0 || !pObserver->isSynchron()",
        "(m_ulSubjectPropertyFlags & SP_SynchronObserverAllowed) > 0 || !pObserver->isSynchron()",
        "!m_pSubject || pSubject == m_pSubject"};
    EXPECT_EQ(expressions, recorder.expressions());
    EXPECT_EQ((std::vector<std::string>{"Fwk_Tsk\\FWK_TSK_Msg(875)", "Fwk_Tsk\\FWK_TSK_Msg(911)",
                                        "Fwk_Tsk\\FWK_TSK_Msg(879)", "Fwk_Tsk\\FWK_TSK_Msg(879)",
                                        "Fwk_Tsk\\FWK_TSK_Msg(879)", "Fwk_Tsk\\FWK_TSK_Msg(1040)"}),
              recorder.sites());
}

TEST(SubjectTest, GroupMembersAreAttachedThroughOneGroupThatLeavesWithItsLastMember) {
    std::map<SubjectC*, MemberGroup*> groups;
    int iLivingGroups = 0;
    Member a(groups, iLivingGroups), b(groups, iLivingGroups);
    {
        SubjectC subject;
        subject.attach(&a);
        subject.attach(&b);
        EXPECT_EQ(1u, subject.attachedCount());
        EXPECT_EQ(1, iLivingGroups);
        EXPECT_TRUE(subject.isAttached(groups[&subject]));
        EXPECT_EQ((std::vector<ObserverC*>{&a, &b}), groups[&subject]->m_members);
        EXPECT_EQ(&subject, a.subject());

        subject.detach(&a);
        EXPECT_EQ(1u, subject.attachedCount());
        EXPECT_EQ(nullptr, a.subject());
        subject.detach(&b);
        EXPECT_EQ(0u, subject.attachedCount());
        EXPECT_EQ(0, iLivingGroups);
        groups.clear();

        // A subject destroyed with a group still attached deletes the group.
        subject.attach(&a);
        EXPECT_EQ(1, iLivingGroups);
    }
    EXPECT_EQ(0, iLivingGroups);
}

TEST(SubjectTest, ObserverDestroyedWhileAttachedLeavesItsSubject) {
    std::map<SubjectC*, MemberGroup*> groups;
    int iLivingGroups = 0;
    SubjectC subject;
    {
        ObserverC plain;
        subject.attach(&plain);
    }
    EXPECT_EQ(0u, subject.attachedCount());

    auto pFirst = std::make_unique<Member>(groups, iLivingGroups);
    auto pSecond = std::make_unique<Member>(groups, iLivingGroups);
    subject.attach(pFirst.get());
    subject.attach(pSecond.get());
    pFirst.reset();
    EXPECT_EQ((std::vector<ObserverC*>{pSecond.get()}), groups[&subject]->m_members);
    pSecond.reset();
    EXPECT_EQ(0u, subject.attachedCount());
    EXPECT_EQ(0, iLivingGroups) << "the group left with its last member";
}

TEST(SubjectTest, SubjectClearsOnlyPointersThatPointAtIt) {
    std::map<SubjectC*, MemberGroup*> groups;
    int iLivingGroups = 0;
    Member member(groups, iLivingGroups);
    ObserverC moved;
    SubjectC other;
    {
        SubjectC subject;
        subject.attach(&member);
        {
            AssertionRecorder recorder; // attaching to a second subject is misuse, and reported
            subject.attach(&moved);
            other.attach(&moved);
        }
        subject.detach(&moved);
        EXPECT_EQ(&other, moved.subject()) << "detach from the old subject keeps the new one";
    }
    EXPECT_EQ(nullptr, member.subject()) << "a destroyed subject leaves no member pointing at it";
    other.detach(&moved);
}
