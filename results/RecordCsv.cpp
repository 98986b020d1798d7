#include "RecordCsv.h"

#include "RecordJson.h"
#include "RecordJsonTree.h"

using nlohmann::ordered_json;

namespace {

std::string CsvField(const std::string& Text) {
  if (Text.find_first_of(",\"\r\n") == std::string::npos) return Text;
  std::string Quoted = "\"";
  for (const char Character : Text) {
    if (Character == '"') Quoted += '"';
    Quoted += Character;
  }
  return Quoted + "\"";
}

// A scalar as a CSV value: texts as they are, numbers in JSON's C-locale form, lists joined by "|".
std::string CsvValue(const ordered_json& Value) {
  if (Value.is_null()) return "";
  if (Value.is_string()) return Value.get<std::string>();
  if (Value.is_array()) {
    std::string Joined;
    for (const ordered_json& Item : Value) Joined += (Joined.empty() ? "" : "|") + CsvValue(Item);
    return Joined;
  }
  return Value.dump();
}

struct TCsvRow {
  std::string Record, Test, Pass, Warm, Nanoseconds, Bytes, BytesPerSecond, Name, Value;
};

void AddRow(std::string& Csv, const TCsvRow& Row) {
  for (const std::string* Field : {&Row.Record, &Row.Test, &Row.Pass, &Row.Warm, &Row.Nanoseconds, &Row.Bytes,
                                   &Row.BytesPerSecond, &Row.Name, &Row.Value}) {
    if (Field != &Row.Record) Csv += ',';
    Csv += CsvField(*Field);
  }
  Csv += '\n';
}

// Every scalar and list of Object under its dotted name, "processor.model".
void AddNamedRows(std::string& Csv, const std::string& Record, const std::string& Test, const ordered_json& Object,
                  const std::string& Prefix = "") {
  for (const auto& [Key, Value] : Object.items()) {
    if (Value.is_object()) {
      AddNamedRows(Csv, Record, Test, Value, Prefix + Key + ".");
    } else {
      AddRow(Csv, {Record, Test, "", "", "", "", "", Prefix + Key, CsvValue(Value)});
    }
  }
}

}  // namespace

namespace {

TCsvRow HeaderRow() {
  return {"record", "test", "pass", "warm", "nanoseconds", "bytes", "bytes_per_second", "name", "value"};
}

}  // namespace

std::string RunRecordCsv(const TRunRecord& Record) {
  const ordered_json Json = RecordJsonTree(Record);
  std::string Csv;
  AddRow(Csv, HeaderRow());
  AddRow(Csv, {"run", "", "", "", "", "", "", "format", ResultFormatName});
  AddRow(Csv, {"run", "", "", "", "", "", "", "format_version", std::to_string(ResultFormatVersion)});
  AddNamedRows(Csv, "run", "", Json["run"]);
  AddNamedRows(Csv, "settings", "", Json["settings"]);
  for (const ordered_json& Test : Json["tests"]) {
    const std::string Name = Test["name"].get<std::string>();
    ordered_json Figures = Test;
    Figures.erase("name");
    Figures.erase("passes");
    AddNamedRows(Csv, "test", Name, Figures);
    for (const ordered_json& Pass : Test["passes"])
      AddRow(Csv, {"pass", Name, CsvValue(Pass["pass"]), CsvValue(Pass["warm"]), CsvValue(Pass["nanoseconds"]),
                   CsvValue(Pass["bytes"]), CsvValue(Pass["bytes_per_second"]), "", ""});
  }
  return Csv;
}

bool IsRecordCsv(const std::string& Text) {
  std::string Header;
  AddRow(Header, HeaderRow());
  return Text.rfind(Header, 0) == 0 || Text.rfind(Header.substr(0, Header.size() - 1) + "\r\n", 0) == 0;
}
