// Where the retention rules come from: the rules files of a folder on POSIX, the registry on
// Windows, both read through the platform layer and parsed in this layer.
#pragma once

#include <string>
#include <vector>

#include "general/rule_file.h"

namespace tarnwell {

// Below HKEY_LOCAL_MACHINE, in the native view: the sub-keys of each are rules. Machine
// policy, where Group Policy writes, and the rules set on the machine itself.
inline constexpr char kPolicyRulesKey[] = "SOFTWARE\\Policies\\Corvane\\Tarnwell\\Rules";
inline constexpr char kLocalRulesKey[] = "SOFTWARE\\Corvane\\Tarnwell\\Rules";

struct ConfiguredRules {
  std::string place;                  // where they were looked for, as a message names it
  std::vector<ConfiguredRule> rules;  // in sweep order, the refused ones among them
  std::vector<std::string> notices;   // what was left out on purpose, a line each
};

// Every retention rule configured on this machine, in the order they are swept.
//  - Where platform::RulesFolder() names a folder (POSIX): its rules files in byte order of
//    their names, the rules of each in the order they stand (ParseRuleFile). A file that
//    cannot be read is one refused rule named by the file; no folder, no rules.
//  - Elsewhere (Windows): each sub-key of kPolicyRulesKey, then of kLocalRulesKey, in order
//    of their names ignoring case, is the rule of its name; a local one with a policy rule's
//    name is left out, with a notice. Its values are its fields (RuleFieldKind): a folder
//    REG_SZ, or REG_EXPAND_SZ with the environment variables expanded; a number REG_DWORD or
//    REG_SZ digits; text REG_SZ; a string up to its first NUL. A sub-key without values,
//    as a policy that is not configured may leave, is no rule. A refused rule's fault names
//    its key.
// A folder or key that is there but cannot be listed is a rule without a name, its fault
// saying why.
ConfiguredRules ReadConfiguredRules();

}  // namespace tarnwell
