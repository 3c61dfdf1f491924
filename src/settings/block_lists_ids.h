#pragma once

// Control numbers of the "Block &Lists" tab, shared with the end-to-end tests.
namespace nv::lists_id {
constexpr int kPage = 1140;
constexpr int kUpdateNow = 1306;
constexpr int kState = 1307;
// The controls of side n: 0 the subscriptions, 1 the allow list.
constexpr int List(int n) { return 1301 + 10 * n; }
constexpr int Entry(int n) { return 1302 + 10 * n; }
constexpr int Add(int n) { return 1303 + 10 * n; }
constexpr int Remove(int n) { return 1304 + 10 * n; }
constexpr int Count(int n) { return 1305 + 10 * n; }
}  // namespace nv::lists_id
