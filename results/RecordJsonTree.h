#pragma once
// The record of a run as a JSON tree: what the JSON file writes and the CSV file flattens, so that
// the two cannot drift apart. Only this folder sees the JSON library.

#include <nlohmann/json.hpp>

#include "RunRecord.h"

nlohmann::ordered_json RecordJsonTree(const TRunRecord& Record);
