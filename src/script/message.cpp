// Message output: MESHG types a message into the message area; TWAIT lets time pass. The layout
// itself (codes, grid, line and page breaks) is in message_layout; here its steps meet the window.
#include "script/machine.hpp"

namespace vunt {

namespace {

// Carries the steps of a message out to the window; a malformed message is a script error.
class MachineMessage : public MessageOutput {
 public:
  explicit MachineMessage(Machine& m) : m_(m) {}
  void clear() override { m_.out.messageClear(); }
  void setColour(int index) override { m_.out.messageColour(index); }
  void print(std::u32string_view text) override { m_.out.messagePrint(text); }
  void printEach(std::u32string_view chars) override { m_.out.messagePrintEach(chars); }
  void newLine() override { m_.out.messageNewLine(); }
  void clickWait() override { m_.out.clickWait(); }
  bool typingDelay(int ms) override { return m_.out.typingDelay(ms); }
  void malformed(MessageFault fault) override { m_.EEE(messageFaultText(fault)); }

 private:
  Machine& m_;
};

}  // namespace

void Machine::MESHG(std::u32string_view text) {
  MachineMessage message(*this);
  MessageState& state = s.message;
  typeMessage(text, out.messageGrid(), MessageMemory{state.SpeakerNames, state.CharDelay, state.TextColour}, message);
}

void Machine::TWAIT(i16 ms) {
  if (ms > 0) out.timedWait(ms);
}

void cmdMES(Machine& m) { m.MESHG(m.text(2)); }

}  // namespace vunt
