// The KestrunePlugin type and the life of its instances, on their own and as
// registration hands them to the channel.

#include <gtest/gtest.h>
#include <kestrune/kestrune_plugin.h>

#include "interposed.h"
#include "test_support.h"

namespace {

using test_support::Host;
using test_support::LifeWatch;
using test_support::LogCapture;

TEST(PluginType, IsOneRegisteredObjectType) {
  GType type = kestrune_plugin_get_type();
  EXPECT_NE(type, G_TYPE_INVALID);
  EXPECT_EQ(kestrune_plugin_get_type(), type);
  EXPECT_STREQ(g_type_name(type), "KestrunePlugin");
  EXPECT_EQ(g_type_from_name("KestrunePlugin"), type);
  EXPECT_EQ(g_type_parent(type), G_TYPE_OBJECT);
  EXPECT_FALSE(G_TYPE_IS_ABSTRACT(type));
  EXPECT_FALSE(G_TYPE_IS_FINAL(type));

  GTypeQuery query;
  g_type_query(type, &query);
  EXPECT_EQ(query.class_size, sizeof(KestrunePluginClass));
  EXPECT_EQ(query.instance_size, sizeof(GObject));
}

TEST(PluginType, AnInstanceIsDisposedOnceAndFinalisedOnItsLastUnref) {
  GObject* plugin = G_OBJECT(g_object_new(kestrune_plugin_get_type(), nullptr));
  LifeWatch watch(plugin);
  g_object_ref(plugin);
  g_object_unref(plugin);
  EXPECT_EQ(watch.disposed(), 0);
  EXPECT_EQ(watch.finalized(), 0);

  g_object_unref(plugin);
  EXPECT_EQ(watch.disposed(), 1);
  EXPECT_EQ(watch.finalized(), 1);
}

class RegistrationTest : public testing::Test {
 protected:
  // The user data the plugin handed its channel last.
  GObject* registered_plugin() {
    return G_OBJECT(interposed::last_handler_data);
  }

  Host host_;
  // What the plugin has made before the test.
  const int codecs_before_ = interposed::codecs_made;
  const int channels_before_ = interposed::channels_made;
};

TEST_F(RegistrationTest, TheHandlerHoldsThePluginsOnlyReference) {
  kestrune_plugin_register_with_registrar(host_.registrar());
  GObject* plugin = registered_plugin();
  ASSERT_NE(plugin, nullptr);
  EXPECT_EQ(G_OBJECT_TYPE(plugin), kestrune_plugin_get_type());
  EXPECT_EQ(plugin->ref_count, 1u);
  // The registration kept nothing else: the channel and its codec live on
  // only because the messenger keeps the channel for its handler.
  ASSERT_EQ(interposed::channels_made, channels_before_ + 1);
  ASSERT_EQ(interposed::codecs_made, codecs_before_ + 1);
  LifeWatch channel(interposed::last_channel);
  LifeWatch codec(interposed::last_codec);
  EXPECT_EQ(G_OBJECT(interposed::last_channel)->ref_count, 1u);
  embedding_host_messenger_shutdown(host_.messenger());
  EXPECT_EQ(channel.finalized(), 1);
  EXPECT_EQ(codec.finalized(), 1);
}

TEST_F(RegistrationTest, ThePluginIsDisposedOnceWhenTheNameIsTakenOver) {
  kestrune_plugin_register_with_registrar(host_.registrar());
  LifeWatch watch(registered_plugin());

  g_autoptr(FlStandardMethodCodec) codec = fl_standard_method_codec_new();
  g_object_unref(fl_method_channel_new(host_.binary_messenger(), "kestrune",
                                       FL_METHOD_CODEC(codec)));
  EXPECT_EQ(watch.disposed(), 1);
  EXPECT_EQ(watch.finalized(), 1);
}

TEST_F(RegistrationTest, ThePluginIsDisposedOnceWhenTheMessengerShutsDown) {
  kestrune_plugin_register_with_registrar(host_.registrar());
  LifeWatch watch(registered_plugin());
  embedding_host_messenger_shutdown(host_.messenger());
  EXPECT_EQ(watch.disposed(), 1);
  EXPECT_EQ(watch.finalized(), 1);
  embedding_host_messenger_shutdown(host_.messenger());
  EXPECT_EQ(watch.disposed(), 1);
}

TEST_F(RegistrationTest, TwoRegistrationsMakeTwoPluginsAndTheNewerAnswers) {
  kestrune_plugin_register_with_registrar(host_.registrar());
  GObject* first = registered_plugin();
  LifeWatch first_watch(first);

  kestrune_plugin_register_with_registrar(host_.registrar());
  GObject* second = registered_plugin();
  ASSERT_NE(second, nullptr);
  LifeWatch second_watch(second);
  EXPECT_NE(second, first);
  EXPECT_EQ(first_watch.disposed(), 1);
  EXPECT_EQ(first_watch.finalized(), 1);

  g_autoptr(FlMethodResponse) response =
      host_.call("kestrune", "getPlatformVersion");
  EXPECT_TRUE(FL_IS_METHOD_SUCCESS_RESPONSE(response))
      << test_support::describe(response);
  EXPECT_EQ(registered_plugin(), second);
  EXPECT_EQ(second_watch.disposed(), 0);
}

// Misuse costs one critical and nothing else: no channel, no codec, and no
// plugin object (a leaked one would fail the sanitizer and valgrind runs).
struct BadRegistrarCase {
  const char* name;
  GObject* (*make)();
};

void PrintTo(const BadRegistrarCase& registrar, std::ostream* out) {
  *out << registrar.name;
}

class BadRegistrarTest : public RegistrationTest,
                         public testing::WithParamInterface<BadRegistrarCase> {
};

TEST_P(BadRegistrarTest, IsRefusedWithOneCriticalAndNothingMade) {
  GObject* registrar = GetParam().make();
  {
    LogCapture log;
    kestrune_plugin_register_with_registrar(
        reinterpret_cast<FlPluginRegistrar*>(registrar));
    ASSERT_EQ(log.messages().size(), 1u);
    EXPECT_NE(log.messages()[0].find("FL_IS_PLUGIN_REGISTRAR"),
              std::string::npos)
        << log.messages()[0];
  }
  EXPECT_EQ(interposed::channels_made, channels_before_);
  EXPECT_EQ(interposed::codecs_made, codecs_before_);
  g_clear_object(&registrar);
}

INSTANTIATE_TEST_SUITE_P(
    Registrars,
    BadRegistrarTest,
    testing::Values(
        BadRegistrarCase{"Null", [] { return static_cast<GObject*>(nullptr); }},
        BadRegistrarCase{
            "PlainObject",
            [] { return G_OBJECT(g_object_new(G_TYPE_OBJECT, nullptr)); }},
        BadRegistrarCase{
            "Messenger",
            [] { return G_OBJECT(embedding_host_messenger_new()); }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
