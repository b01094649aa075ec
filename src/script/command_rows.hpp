// The 40 commands of the script language, one row each, in the order the interpreter compares
// command words. This list is the one place a command is declared: its word, the Vunt member that
// runs it, how it moves control, whether it waits, a one-line summary and the fields it reads in
// the order it reads them. Adding a command means one row here and one handler.
//
//   VUNT_COMMAND(WORD, handler, Flow, Wait, None, None, WhenRead, "summary", fields...)
//
// A field is {number, FieldKind, "placeholder"} or, when it is not read every time,
// {number, FieldKind, "placeholder", FieldUse, "when it is read"}. A user defines VUNT_COMMAND,
// expands VUNT_COMMAND_ROWS, and brings the FieldKind and FieldUse names into scope where it uses
// the fields. The word is only ever turned into a string, so EOF stays a word here.
#pragma once

// clang-format off
#define VUNT_COMMAND_ROWS                                                                              \
  VUNT_COMMAND(CMST, cmdCMST, Next, No, None, None, AfterFields, "fills menu entries from a menu text, starting at the given menu", \
               {2, MenuNumber, "menu"}, {3, MenuText, "menu-text"})                                    \
  VUNT_COMMAND(CMSL, cmdCMSL, Menu, Player, MenuSearch, MenuChoice, WhenRead,                                                            \
               "shows a menu, waits for a final choice and continues after the CASE line of its value", \
               {3, Line, "end-line"}, {2, MenuNumber, "menu"})                                         \
  VUNT_COMMAND(CASE, cmdCASE, MenuEnd, No, SearchCase, None, WhenRead,                                                             \
               "starts the block of one menu choice; reached from above, continues at the menu's end line", \
               {2, Number, "value", Search, "by CMSL's search for the chosen value, not when the line runs"}) \
  VUNT_COMMAND(ENDCM, cmdENDCM, Mark, No, SearchEnd, None, WhenRead, "ends a menu's CASE blocks; does nothing when it runs")       \
  VUNT_COMMAND(DO, cmdDO, Mark, No, None, None, WhenRead, "marks the head of a loop; does nothing")                          \
  VUNT_COMMAND(DORT, cmdDORT, Jump, No, None, None, WhenRead, "continues at a line, as GOTO", {2, Line, "line"})             \
  VUNT_COMMAND(DOEX, cmdDOEX, Jump, No, None, None, WhenRead, "continues at a line, as GOTO", {2, Line, "line"})             \
  VUNT_COMMAND(LOOP, cmdLOOP, Jump, No, None, None, WhenRead, "continues at a line, as GOTO", {2, Line, "line"})             \
  VUNT_COMMAND(GOTO, cmdGOTO, Jump, No, None, None, WhenRead, "continues at a line", {2, Line, "line"})                      \
  VUNT_COMMAND(GOSUB, cmdGOSUB, Call, No, None, None, WhenRead,                                                              \
               "sets the single return line to the next line and continues at a line", {2, Line, "line"}) \
  VUNT_COMMAND(RET, cmdRET, Return, No, None, None, WhenRead, "continues at the return line the last GOSUB set")             \
  VUNT_COMMAND(IF, cmdIF, Branch, No, None, None, WhenRead, "continues at a line when the condition is false",              \
               {2, Condition, "condition"}, {3, Line, "line", Sometimes, "when the condition is false"}) \
  VUNT_COMMAND(ELSE, cmdELSE, Jump, No, None, None, WhenRead, "continues at a line, as GOTO", {2, Line, "line"})             \
  VUNT_COMMAND(ENDIF, cmdENDIF, Mark, No, None, None, WhenRead, "ends an IF block; does nothing")                            \
  VUNT_COMMAND(EVA, cmdEVA, Branch, No, None, None, WhenRead, "continues at a line when the condition is false, as IF",      \
               {2, Condition, "condition"}, {3, Line, "line", Sometimes, "when the condition is false"}) \
  VUNT_COMMAND(ENDEV, cmdENDEV, Mark, No, None, None, WhenRead, "ends an EVA block; does nothing")                           \
  VUNT_COMMAND(FP, cmdFP, PrintPick, Message, PrintTable, None, WhenRead,                                                          \
               "prints the line as many lines below as the flag's value, then continues at the end line", \
               {3, Line, "end-line"}, {2, FlagIndex, "flag"})                                          \
  VUNT_COMMAND(ENDFP, cmdENDFP, Mark, No, PrintTableEnd, None, WhenRead, "ends an FP block; does nothing")                            \
  VUNT_COMMAND(FJ, cmdFJ, JumpPick, No, JumpTable, None, WhenRead,                                                                \
               "continues at the line number held in the line as many lines below as the flag's value", \
               {2, FlagIndex, "flag"}, {3, Line, "last-line"})                                         \
  VUNT_COMMAND(ENDFJ, cmdENDFJ, Mark, No, JumpTableEnd, None, WhenRead, "ends an FJ block; does nothing")                            \
  VUNT_COMMAND(INC, cmdINC, Next, No, None, CountUp, WhenRead, "counts a flag up to a maximum, where it wraps to 1 (L) or stays (S)", \
               {2, FlagIndex, "flag"}, {3, Number, "max"},                                             \
               {4, Mode, "mode", Sometimes, "when the flag stands at the maximum"})                   \
  VUNT_COMMAND(DEC, cmdDEC, Next, No, None, CountDown, WhenRead, "counts a flag down, never below 0", {2, FlagIndex, "flag"})     \
  VUNT_COMMAND(FGCL, cmdFGCL, Next, No, None, ClearFlags, Command, "sets the flags from the first to the last index to 0",        \
               {3, FlagIndex, "last"}, {2, FlagIndex, "first"})                                        \
  VUNT_COMMAND(MES, cmdMES, Next, Message, None, None, WhenRead, "types a message in the message area", {2, Message, "text"}) \
  VUNT_COMMAND(LET, cmdLET, Next, No, None, SetFlag, WhenRead, "sets a flag to a value", {3, Number, "value"}, {2, FlagIndex, "flag"}) \
  VUNT_COMMAND(ADDCM, cmdADDCM, Next, No, None, None, AfterFields, "sets one entry of a menu, its mark included",               \
               {2, MenuNumber, "menu"}, {3, EntryIndex, "entry"}, {4, EntryText, "entry-text"})        \
  VUNT_COMMAND(DELCM, cmdDELCM, Next, No, None, None, AfterFields, "empties one entry of a menu",                               \
               {2, MenuNumber, "menu"}, {3, EntryIndex, "entry"})                                      \
  VUNT_COMMAND(CLR, cmdCLR, Next, No, None, ClearFlags, Command, "sets the flags from the first to the last index to 0, as FGCL", \
               {3, FlagIndex, "last"}, {2, FlagIndex, "first"})                                        \
  VUNT_COMMAND(GHG, cmdGHG, Next, No, None, None, WhenRead, "clears the message area and shows a picture in the scene",      \
               {2, Picture, "picture"})                                                                \
  VUNT_COMMAND(GHGD, cmdGHGD, Next, Player, None, None, WhenRead, "shows a picture in the picture window until the player closes it", \
               {2, Picture, "picture"})                                                                \
  VUNT_COMMAND(ITMS, cmdITMS, Next, No, None, None, WhenRead, "stores the message printed when that entry of menu 0 is chosen", \
               {3, Message, "text"}, {2, Slot, "slot"})                                                \
  VUNT_COMMAND(ITCG, cmdITCG, Next, No, None, None, WhenRead, "stores a text in a second table of four texts",               \
               {3, Text, "text"}, {2, Slot, "slot"})                                                   \
  VUNT_COMMAND(SOUND, cmdSOUND, Next, Sound, None, None, AfterFields, "plays a sound with the given play flags",                \
               {2, Sound, "sound"}, {3, SoundFlags, "flags"})                                          \
  VUNT_COMMAND(LBHGA, cmdLBHGA, Next, No, None, None, WhenRead, "sets the caption of a status label to a text",             \
               {2, LabelIndex, "label"}, {3, Text, "text"})                                            \
  VUNT_COMMAND(LBHGV, cmdLBHGV, Next, No, None, None, WhenRead, "sets the caption of a status label to a number",           \
               {2, LabelIndex, "label"}, {3, Number, "value"})                                         \
  VUNT_COMMAND(BEED, cmdBEED, Puzzle, Player, None, Puzzle, AfterFields,                                                          \
               "plays the puzzle from the first to the last stage; F21 is 1 when the last is cleared", \
               {2, Stage, "first"}, {3, Stage, "last"})                                                \
  VUNT_COMMAND(LOAD, cmdLOAD, Next, No, None, LoadFlags, WhenRead, "reads all flags from the save file")                          \
  VUNT_COMMAND(SAVE, cmdSAVE, Next, No, None, SaveFlags, WhenRead, "writes all flags to the save file")                           \
  VUNT_COMMAND(EOF, cmdEOF, End, No, None, None, WhenRead, "ends the program")                                               \
  VUNT_COMMAND(EXIT, cmdEXIT, End, No, None, None, WhenRead, "ends the program")
// clang-format on
