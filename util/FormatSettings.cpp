#include "FormatSettings.h"

#include <clocale>
#include <langinfo.h>
#include <locale.h>

TFormatSettings FormatSettings;

std::string DecimalSeparatorOfLocale(const char* LocaleName) {
  // A private locale object: the process's own LC_NUMERIC stays "C", so no library that parses
  // numbers with the C functions is surprised by a comma.
  locale_t Locale = newlocale(LC_NUMERIC_MASK, LocaleName, static_cast<locale_t>(nullptr));
  if (Locale == static_cast<locale_t>(nullptr)) return ".";
  const char* Radix = nl_langinfo_l(RADIXCHAR, Locale);
  std::string Separator = (Radix != nullptr && *Radix != '\0') ? Radix : ".";
  freelocale(Locale);
  return Separator;
}

void InitFormatSettingsFromLocale() { FormatSettings.DecimalSeparator = DecimalSeparatorOfLocale(""); }
