// Where world points land on the picture: a look-at camera with a symmetric
// perspective projection, worked out here, not taken from the program.
const sub = (a, b) => a.map((v, i) => v - b[i]);
const dot = (a, b) => a.reduce((s, v, i) => s + v * b[i], 0);
const cross = (a, b) => [a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]];
const unit = (a) => a.map((v) => v / Math.hypot(...a));

// The pixel (x right, y down) of `world` seen from `eye` looking at `centre`,
// y up, fovY degrees, on a width x height picture.
export function project(world, eye, centre, fovY, width, height) {
  const forward = unit(sub(centre, eye));
  const right = unit(cross(forward, [0, 1, 0]));
  const up = cross(right, forward);
  const d = sub(world, eye);
  const focal = height / 2 / Math.tan((fovY * Math.PI) / 360);
  const depth = dot(d, forward);
  return [width / 2 + (focal * dot(d, right)) / depth, height / 2 - (focal * dot(d, up)) / depth];
}
