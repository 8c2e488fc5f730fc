/* kwin_keys: types keys into a KWin session through KWin's fake input protocol, as a keyboard would.
 * It says "ready" once connected; each line read, "key CODE..." (Linux input event codes: 68 for
 * F10), is a press and a release of each code in turn, answered "ok" once KWin has taken them. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <wayland-client.h>

#include "fake-input-client-protocol.h"

static struct org_kde_kwin_fake_input *fake_input;

static void global(void *data, struct wl_registry *registry, uint32_t name, const char *interface,
                   uint32_t version) {
  (void)data;
  if (strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
    fake_input = wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4);
}
static void global_remove(void *data, struct wl_registry *registry, uint32_t name) {
  (void)data, (void)registry, (void)name;
}
static const struct wl_registry_listener listener = {global, global_remove};

int main(void) {
  struct wl_display *display = wl_display_connect(NULL);
  if (!display) return fprintf(stderr, "kwin_keys: no Wayland display\n"), 1;
  wl_registry_add_listener(wl_display_get_registry(display), &listener, NULL);
  wl_display_roundtrip(display);
  if (!fake_input) return fprintf(stderr, "kwin_keys: no org_kde_kwin_fake_input version 4\n"), 1;
  org_kde_kwin_fake_input_authenticate(fake_input, "kwin_keys", "typing keys for a test");
  char line[1024];
  for (const char *answer = "ready"; wl_display_roundtrip(display) >= 0; answer = "ok") {
    printf("%s\n", answer);
    fflush(stdout);
    if (!fgets(line, sizeof line, stdin)) return 0;
    for (char *word = strtok(line, " \n"); word; word = strtok(NULL, " \n")) {
      char *end;
      const uint32_t code = (uint32_t)strtoul(word, &end, 10);
      if (*end) continue; /* the command, "key" */
      org_kde_kwin_fake_input_keyboard_key(fake_input, code, 1);
      org_kde_kwin_fake_input_keyboard_key(fake_input, code, 0);
    }
  }
  return 1;
}
