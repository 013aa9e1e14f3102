// Adding and sending a full article register (the converter's maximum, 50,000)
// to the cloud stand-in.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "klcr/klcr.h"
#include "tools/cloud_standin/standin_process.h"

namespace {

using namespace KLCR_MolnixMigration;

constexpr int kArticles = 50000;

void AddArticles(CUploadArticles& articles) {
  for (int i = 0; i < kArticles; ++i) {
    const std::string number = std::to_string(100000 + i);
    articles.SetIsActive(true);
    articles.SetNumber(number);
    articles.SetName("Skruv rostfri Ø" + number + " – förpackning om 100 st");
    articles.SetNameEnglish("Stainless screw");
    articles.SetNetPrice("1249.50");
    articles.SetGrossPrice("1561.88");
    articles.SetUnitCode("st");
    articles.SetUnitName("styck");
    articles.SetArticleAccountCode("3001");
    articles.SetArticleAccountName("Försäljning varor 25 % moms");
    articles.SetIsMolnixAccountCode(false);
    articles.SetStockBalance("17");
    articles.SetRotRutType(0);
    if (articles.AddArticle() != 0) articles.ResetArticle();
  }
}

void BM_AddArticles(benchmark::State& state) {
  for (auto _ : state) {
    CUploadArticles articles;
    AddArticles(articles);
    benchmark::DoNotOptimize(articles.GetCount());
  }
  state.SetItemsProcessed(state.iterations() * kArticles);
}
BENCHMARK(BM_AddArticles)->Unit(benchmark::kMillisecond);

void BM_AddAndSendArticles(benchmark::State& state) {
  static cloud_standin::StandinProcess cloud(cloud_standin::ExampleFixture());
  KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud.BaseUrl());
  KLCRUsesUserData login;
  login.SetUsername("anna@example.se");
  login.SetPassword("hemligt", false);
  CGetToken token;
  token.SetUsername("anna@example.se");
  token.SetCustomerId("c-1001");
  if (token.Call() != 0) {
    state.SkipWithError("no token from the stand-in");
    return;
  }
  for (auto _ : state) {
    CUploadArticles articles;
    AddArticles(articles);
    articles.SetApiToken(token.GetToken());
    if (articles.Call() != 0) state.SkipWithError("the upload failed");
  }
  state.SetItemsProcessed(state.iterations() * kArticles);
}
BENCHMARK(BM_AddAndSendArticles)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
