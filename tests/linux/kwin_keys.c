/* kwin_keys: types keys into a KWin Wayland session through KWin's fake input protocol
 * (org_kde_kwin_fake_input), as a keyboard would. It reads lines from standard input, "key CODE..."
 * (Linux input event codes: 68 for F10), sends a press and a release of each in turn, waits until
 * the compositor has taken them, and answers "ok" on standard output; "ready" once it is
 * connected. Built by tests/linux/kde_test.sh with wayland-scanner's code for the protocol. */
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
  if (!display) {
    fprintf(stderr, "kwin_keys: no Wayland display\n");
    return 1;
  }
  struct wl_registry *registry = wl_display_get_registry(display);
  wl_registry_add_listener(registry, &listener, NULL);
  wl_display_roundtrip(display);
  if (!fake_input) {
    fprintf(stderr, "kwin_keys: the compositor offers no org_kde_kwin_fake_input version 4\n");
    return 1;
  }
  org_kde_kwin_fake_input_authenticate(fake_input, "kwin_keys", "typing keys for a test");
  wl_display_roundtrip(display);
  printf("ready\n");
  fflush(stdout);
  char line[1024];
  while (fgets(line, sizeof line, stdin)) {
    char *word = strtok(line, " \t\n");
    if (!word) continue;
    if (strcmp(word, "key") != 0) {
      printf("unknown command %s\n", word);
      fflush(stdout);
      continue;
    }
    while ((word = strtok(NULL, " \t\n"))) {
      const uint32_t code = (uint32_t)strtoul(word, NULL, 0);
      org_kde_kwin_fake_input_keyboard_key(fake_input, code, 1);
      org_kde_kwin_fake_input_keyboard_key(fake_input, code, 0);
    }
    if (wl_display_roundtrip(display) < 0) return 1;
    printf("ok\n");
    fflush(stdout);
  }
  wl_display_disconnect(display);
  return 0;
}
