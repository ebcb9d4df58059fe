// The engine's imports for its input (web/engine/input_read.cpp); the queue is pre.js's.
mergeInto(LibraryManager.library, {
  velmora_input_take: function (buffer, capacity) {
    return Module.velmoraInput.take(buffer, capacity);
  },
  // Asyncify saves the stack of every sleep in a block it mallocs and frees each time: one
  // block, kept for good, serves them all, so that a think allocates nothing.
  velmora_input_wait__deps: ['free'],
  velmora_input_wait: function (timeout_ms) {
    if (!Module.velmoraSleepBlock) {
      const block = Asyncify.allocateData();
      Module.velmoraSleepBlock = block;
      Asyncify.allocateData = function () {
        Asyncify.setDataHeader(block, block + {{{ C_STRUCTS.asyncify_data_s.__size__ }}}, Asyncify.StackSize);
        Asyncify.setDataRewindFunc(block);
        return block;
      };
      _free(0);  // free(NULL) does nothing, but binds the lazy _free to the export
      const free = _free;
      _free = function (ptr) {
        if (ptr !== block) free(ptr);
      };
    }
    return Asyncify.handleSleep(function (wakeUp) {
      Module.velmoraInput.wait(timeout_ms, wakeUp);
    });
  },
});
