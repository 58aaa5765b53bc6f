// Event records: parameters by name and type, reference counts, the modifier state.
#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/events/events.h"

namespace {

class EventParameters : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(CreateEvent(nullptr, kEventClassMenu, kEventMenuTargetItem, 0, 0, &event_), noErr);
    MenuItemIndex item = 7;
    ASSERT_EQ(
        SetEventParameter(event_, kEventParamMenuItemIndex, typeMenuItemIndex, sizeof item, &item),
        noErr);
  }
  void TearDown() override { ReleaseEvent(event_); }
  EventRef event_ = nullptr;
};

TEST_F(EventParameters, ClassKindAndRetainCount) {
  EXPECT_EQ(GetEventClass(event_), kEventClassMenu);
  EXPECT_EQ(GetEventKind(event_), kEventMenuTargetItem);
  EXPECT_GT(GetEventTime(event_), 0);
  EXPECT_EQ(RetainEvent(event_), event_);
  EXPECT_EQ(GetEventRetainCount(event_), 2u);
  ReleaseEvent(event_);
  EXPECT_EQ(GetEventRetainCount(event_), 1u);
}

TEST_F(EventParameters, ReadsBackByTypeOrWildCard) {
  for (EventParamType desired : {EventParamType{typeMenuItemIndex}, EventParamType{typeWildCard}}) {
    MenuItemIndex item = 0;
    EventParamType actual = 0;
    UInt32 size = 0;
    EXPECT_EQ(GetEventParameter(event_, kEventParamMenuItemIndex, desired, &actual, sizeof item,
                                &size, &item),
              noErr);
    EXPECT_EQ(item, 7);
    EXPECT_EQ(actual, typeMenuItemIndex);
    EXPECT_EQ(size, sizeof item);
  }
}

TEST_F(EventParameters, MissingWrongTypeAndSmallBuffer) {
  UInt32 word = 0xAAAAAAAA;
  EXPECT_EQ(GetEventParameter(event_, kEventParamDirectObject, typeWildCard, nullptr, sizeof word,
                              nullptr, &word),
            eventParameterNotFoundErr);
  EXPECT_EQ(GetEventParameter(event_, kEventParamMenuItemIndex, typeUInt32, nullptr, sizeof word,
                              nullptr, &word),
            errAECoercionFail);
  EXPECT_EQ(word, 0xAAAAAAAAu);  // nothing written

  HICommand command = {kHICommandFromMenu, 'OfD%', {nullptr, 3}};
  SetEventParameter(event_, kEventParamDirectObject, typeHICommand, sizeof command, &command);
  unsigned char small[4];
  std::memset(small, 0xEE, sizeof small);
  unsigned char guard = 0xEE;
  UInt32 size = 0;
  EXPECT_EQ(
      GetEventParameter(event_, kEventParamDirectObject, typeHICommand, nullptr, 3, &size, small),
      noErr);
  EXPECT_EQ(size, sizeof command);
  EXPECT_EQ(std::memcmp(small, &command, 3), 0);
  EXPECT_EQ(small[3], 0xEE);
  EXPECT_EQ(guard, 0xEE);

  // Replacing a parameter replaces its type too.
  SetEventParameter(event_, kEventParamDirectObject, typeUInt32, sizeof word, &word);
  EXPECT_EQ(GetEventParameter(event_, kEventParamDirectObject, typeHICommand, nullptr,
                              sizeof command, nullptr, &command),
            errAECoercionFail);
}

TEST_F(EventParameters, CopyIsIndependent) {
  EventRef copy = CopyEvent(event_);
  MenuItemIndex other = 9, read = 0;
  SetEventParameter(copy, kEventParamMenuItemIndex, typeMenuItemIndex, sizeof other, &other);
  GetEventParameter(event_, kEventParamMenuItemIndex, typeMenuItemIndex, nullptr, sizeof read,
                    nullptr, &read);
  EXPECT_EQ(read, 7);
  ReleaseEvent(copy);
}

TEST(KeyModifiers, ReportWhatTheDriverSet) {
  EXPECT_EQ(GetCurrentKeyModifiers(), 0u);
  tb::events::SetCurrentKeyModifiers(alphaLock | controlKey);
  EXPECT_EQ(GetCurrentKeyModifiers(), 0x1400u);
  EXPECT_EQ(cmdKey | shiftKey | optionKey, 0xB00u);
}

}  // namespace
