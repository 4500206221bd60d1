#include <gtest/gtest.h>

#include "pages/OverwritePolicy.h"

using namespace kpx;

namespace {

using TAction = TCopyAction;

} // namespace

TEST(DecideCopy, MissingTargetIsCopiedAndAnExistingOneFollowsThePolicy)
{
    using P = TOverwritePolicy;
    using D = TDestination;
    for (P policy : {P::Confirm, P::Overwrite, P::Skip, P::WarnAndStop})
        EXPECT_EQ(DecideCopy(policy, D::Missing), TAction::Copy);
    EXPECT_EQ(DecideCopy(P::Confirm, D::Other), TAction::AskToReplace);
    EXPECT_EQ(DecideCopy(P::Overwrite, D::Other), TAction::Replace);
    EXPECT_EQ(DecideCopy(P::Skip, D::Other), TAction::Skip);
    EXPECT_EQ(DecideCopy(P::WarnAndStop, D::Other), TAction::Skip);
    // No source is ever asked about or replaced; a skipping policy still skips.
    for (P policy : {P::Confirm, P::Overwrite}) {
        EXPECT_EQ(DecideCopy(policy, D::TheSource), TAction::KeepSameFile);
        EXPECT_EQ(DecideCopy(policy, D::AnotherSource), TAction::KeepSource);
    }
    EXPECT_EQ(DecideCopy(P::Skip, D::TheSource), TAction::Skip);
    EXPECT_EQ(DecideCopy(P::Skip, D::AnotherSource), TAction::Skip);
}

TEST(OverwritePolicy, OutOfRangeIndexAsksBeforeReplacing)
{
    EXPECT_EQ(OverwritePolicyFromIndex(2), TOverwritePolicy::Skip);
    EXPECT_EQ(OverwritePolicyFromIndex(4), TOverwritePolicy::Update);
    EXPECT_EQ(OverwritePolicyFromIndex(5), TOverwritePolicy::Confirm);
    EXPECT_EQ(OverwritePolicyFromIndex(-1), TOverwritePolicy::Confirm);
}
